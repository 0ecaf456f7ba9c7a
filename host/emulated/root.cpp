#include "host/emulated/root.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "host/emulated/registry_connection.h"

namespace fs = std::filesystem;

namespace host::emulated {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HomeDirectory() {
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

fs::path SystemHostRoot() { return V7_SYSTEM_HOST_ROOT; }

fs::path ChooseHostRoot(const RootSources& sources) {
    if (!sources.Option.empty()) return fs::absolute(sources.Option);
    if (!sources.Variable.empty()) return sources.Variable;
    if (sources.Superuser) return sources.SystemRoot;
    // XDG: a relative XDG_DATA_HOME is invalid and must be ignored.
    fs::path dataHome = sources.DataHome;
    if (dataHome.empty() || dataHome.is_relative()) dataHome = fs::path(sources.Home) / ".local" / "share";
    return dataHome / "orvane-v7" / "host";
}

RootSources ProcessRootSources() {
    RootSources sources;
    sources.Variable = Environment("V7_HOST_ROOT");
    sources.DataHome = Environment("XDG_DATA_HOME");
    sources.Home = HomeDirectory();
    sources.Superuser = geteuid() == 0;
    return sources;
}

fs::path DefaultHostRoot() { return ChooseHostRoot(ProcessRootSources()); }

bool UsesSystemHostRoot() {
    std::error_code ec, systemEc;
    const fs::path root = fs::weakly_canonical(HostRoot(), ec);
    return !ec && root == fs::weakly_canonical(SystemHostRoot(), systemEc) && !systemEc;
}

bool TakeRootOption(std::vector<std::string>* args, std::string* error) {
    for (auto word = args->begin(); word != args->end();) {
        std::string path;
        if (*word == "--root") {
            if (word + 1 == args->end() || (word + 1)->empty()) {
                *error = "--root needs the path of a host root";
                return false;
            }
            path = *(word + 1);
            word = args->erase(word, word + 2);
        } else if (word->rfind("--root=", 0) == 0) {
            path = word->substr(7);
            if (path.empty()) {
                *error = "--root needs the path of a host root";
                return false;
            }
            word = args->erase(word);
        } else {
            ++word;
            continue;
        }
        RootSources sources;
        sources.Option = path;
        SetHostRoot(ChooseHostRoot(sources));
    }
    return true;
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
