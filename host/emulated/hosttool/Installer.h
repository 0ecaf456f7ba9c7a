// "init", which lays down a host root as the product's installer would leave
// it, and its pieces. The control center's first start on a root that was
// never set up runs the same code.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace hosttool {

enum class InitMode {
    Complete,  // adds what the root lacks; a root that lacks nothing is refused
    IfNeeded,  // adds what the root lacks; a root that lacks nothing is no error
    Replace,   // removes the old host's registry, drive C: and station log first
};

// Sets the root up, or adds only the parts it lacks: nothing that exists is
// overwritten (but by Replace). Says on out what it laid down; false when it
// laid down nothing (IfNeeded on a whole root). Throws ToolError.
bool InitHost(InitMode mode, std::ostream& out);

// The parts of a host root that "init" lays down and the root lacks.
struct MissingParts {
    bool Registry = false;          // no registry.db
    bool RegistryValues = false;    // a registry.db without the installer's values
    bool WindowsDirectory = false;  // no C:\WINDOWS\system.ini, which comes with the users' files
    bool DriverFiles = false;       // a driver file of the catalog is missing
    bool Any() const { return Registry || RegistryValues || WindowsDirectory || DriverFiles; }
};
MissingParts FindMissingParts();

// The users the host knows: a few fixed ones and the login user.
std::vector<std::string> InstallerUsers();

// The product, board and station values, the display-mode mirror and the
// system's profile list; flushed.
void WriteInstallerRegistry(const std::vector<std::string>& users);
// The same values and keys, each written only where the registry lacks it.
void AddMissingInstallerValues(const std::vector<std::string>& users);
// Whether the registry holds what the installer writes (a registry that cannot
// be read counts as holding it: it is left for its problem to be told).
bool RegistryHoldsInstallerValues();

// C:\WINDOWS: system.ini with its driver and password-list lines, the
// password files and the users' profile directories.
void WriteWindowsDirectory(const std::vector<std::string>& users);

// C:\WINDOWS\SYSTEM\<driver>.vxd for every driver of the catalog that is
// missing, each with its version resource.
void WriteDriverFiles();

// Writes a file that does not exist yet (never through a link); false, and
// nothing written, when something already holds the name.
bool WriteNewFile(const std::filesystem::path& file, const std::string& bytes);

}  // namespace hosttool
