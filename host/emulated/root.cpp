#include "host/emulated/root.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "host/emulated/registry_connection.h"

namespace fs = std::filesystem;

namespace host::emulated {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path HomeDirectory() {
    std::string home = Environment("HOME");
    if (!home.empty()) return home;
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

fs::path& CurrentRoot() {
    static fs::path root = DefaultHostRoot();
    return root;
}

}  // namespace

fs::path DefaultHostRoot() {
    std::string root = Environment("V7_HOST_ROOT");
    if (!root.empty()) return root;
    // XDG: a relative XDG_DATA_HOME is invalid and must be ignored.
    fs::path dataHome = Environment("XDG_DATA_HOME");
    if (dataHome.empty() || dataHome.is_relative()) dataHome = HomeDirectory() / ".local" / "share";
    return dataHome / "orvane-v7" / "host";
}

const fs::path& HostRoot() { return CurrentRoot(); }

void SetHostRoot(const fs::path& root) {
    CurrentRoot() = root;
    // Open keys and the connection belong to the old root's database.
    ResetRegistryConnection();
}

fs::path RegistryPath() { return HostRoot() / "registry.db"; }
fs::path DriveCPath() { return HostRoot() / "drive_c"; }
fs::path DeviceDirPath() { return HostRoot() / "dev"; }
fs::path StationLogPath() { return HostRoot() / "station.log"; }

fs::path DeviceSocketPath(const std::string& deviceName) { return DeviceDirPath() / deviceName; }

}  // namespace host::emulated
