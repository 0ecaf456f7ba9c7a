// The emulated host lives in one directory, the host root: registry.db,
// drive_c/, dev/Brakor, the instance lock and the station log.
#pragma once

#include <filesystem>
#include <string>

namespace host::emulated {

// V7_HOST_ROOT, or $XDG_DATA_HOME/orvane-v7/host (~/.local/share/orvane-v7/host).
std::filesystem::path DefaultHostRoot();

// The root this process works on; DefaultHostRoot() until SetHostRoot is called.
const std::filesystem::path& HostRoot();

// Points the process at another root (tests use a fresh one each). Closes the
// registry database so the next call opens the new root's.
void SetHostRoot(const std::filesystem::path& root);

std::filesystem::path RegistryPath();    // <root>/registry.db
std::filesystem::path DriveCPath();      // <root>/drive_c
std::filesystem::path DeviceDirPath();   // <root>/dev
std::filesystem::path StationLogPath();  // <root>/station.log

// Unix-domain socket path of a device name ("Brakor" -> <root>/dev/Brakor).
std::filesystem::path DeviceSocketPath(const std::string& deviceName);
// The longest socket path a Unix-domain address holds.
constexpr std::size_t kMaxSocketPath = 107;
// The file the running control center holds a lock on, under the host root:
// one copy per root (see host/emulated/control_center_instance.h).
inline constexpr const char kControlCenterLockName[] = "instance.lock";

// Opens the registry now, so the first read need not wait for it; a program
// may call this on a thread of its own while it starts. A problem is reported
// as by any other call.
void OpenRegistry();

// A registry that could not be opened or is damaged is reported here once
// (empty while all is well), so a program can show it to its user.
std::string RegistryProblem();
// Whether opening the registry of a root that holds no registry.db makes an
// empty one (off by default). Only the set-up of a root turns it on, so no
// program leaves a bare registry in a root that was never set up.
void CreateMissingRegistry(bool create);

// Whether the registry also writes that problem on stderr, once (the default).
// A program that shows it to its user itself turns this off, so it is told once.
void EchoRegistryProblems(bool echo);

}  // namespace host::emulated
