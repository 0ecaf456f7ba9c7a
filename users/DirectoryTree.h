// Removing a folder with everything below it, through the host's file calls.
#pragma once

#include <string>

namespace users {

// Removes every file and folder below directory, then directory itself. A
// read-only mark is cleared first; a symbolic link is removed itself, never
// followed. Stops at the first entry that cannot be removed: what was removed
// stays removed, that entry's folder and those above it stay. True when
// directory is gone.
bool DeleteDirectoryTree(const std::string& directory);

}  // namespace users
