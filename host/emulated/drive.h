// Drive C: of the emulated host is the folder <root>/drive_c.
#pragma once

#include <filesystem>
#include <string>

namespace host::emulated {

// Maps a Windows path ("C:\WINDOWS\system.ini", "c:/windows") to the file on
// this machine. Each existing name is found without regard to case; names that
// do not exist yet are kept as given (so a file can be created). Fails (false)
// for other drives, relative paths, ".." above the drive root and symbolic
// links that lead out of the drive.
bool MapWindowsPath(const std::string& windowsPath, std::filesystem::path* result);

}  // namespace host::emulated
