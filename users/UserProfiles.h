// The user names of the system's profile list: one subkey of
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\ProfileList
// per person who has logged on.
#pragma once

#include <string>
#include <vector>

namespace users {

inline constexpr const char* kProfileListKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList";

// The names, sorted without regard to case. Empty when the key is missing.
// A name longer than 258 bytes or a read error ends the list there.
std::vector<std::string> FillUserProfileList();

}  // namespace users
