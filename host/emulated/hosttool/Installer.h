// The pieces of "init", which lays down a host root as the product's
// installer would leave it.
#pragma once

#include <string>
#include <vector>

namespace hosttool {

// The users the host knows: a few fixed ones and the login user.
std::vector<std::string> InstallerUsers();

// The product, board and station values, the display-mode mirror and the
// system's profile list; flushed.
void WriteInstallerRegistry(const std::vector<std::string>& users);

// C:\WINDOWS: system.ini with its driver and password-list lines, the
// password files and the users' profile directories.
void WriteWindowsDirectory(const std::vector<std::string>& users);

// C:\WINDOWS\SYSTEM\<driver>.vxd for every driver of the catalog, each with
// its version resource.
void WriteDriverFiles();

}  // namespace hosttool
