// The emulated host lives in one directory, the host root: registry.db,
// drive_c/, dev/Brakor, the instance lock and the station log.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace host::emulated {

// The system-wide host root, /var/lib/orvane-v7/host unless the build names
// another: the superuser's default root and the one the drivers' system unit
// serves. It and all in it belong to the superuser; other users may read it.
std::filesystem::path SystemHostRoot();

// What decides a program's host root.
struct RootSources {
    std::string Option;      // the program's --root; empty when not given
    std::string Variable;    // V7_HOST_ROOT
    std::string DataHome;    // XDG_DATA_HOME
    std::string Home;        // HOME, else the user's home folder
    bool Superuser = false;  // the effective user is root (uid 0)
    std::filesystem::path SystemRoot = SystemHostRoot();
};
// The first that is set: --root (made absolute), V7_HOST_ROOT, the system root
// for the superuser, $XDG_DATA_HOME/orvane-v7/host (an absolute XDG_DATA_HOME
// only), ~/.local/share/orvane-v7/host. The superuser's data folder is never
// used: root over ssh or sudo, with whatever environment, lands on the system
// root unless told otherwise.
std::filesystem::path ChooseHostRoot(const RootSources& sources);
// This process's environment and effective user, with no --root.
RootSources ProcessRootSources();
// ChooseHostRoot(ProcessRootSources()).
std::filesystem::path DefaultHostRoot();

// The root this process works on; DefaultHostRoot() until SetHostRoot is called.
const std::filesystem::path& HostRoot();
// Whether that root is the system-wide one (whose drivers the system unit runs).
bool UsesSystemHostRoot();

// Takes "--root PATH" (or "--root=PATH") out of a program's arguments, wherever
// it stands, and points the process at that root. False, with one line in
// *error, for a --root without a path.
bool TakeRootOption(std::vector<std::string>* args, std::string* error);

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
