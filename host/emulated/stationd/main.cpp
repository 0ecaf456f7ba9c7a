// v7-stationd: the station drivers of the emulated host.
#include <signal.h>
#include <systemd/sd-daemon.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/Version.h"
#include "host/emulated/root.h"
#include "host/emulated/stationd/DeviceServer.h"
#include "host/emulated/stationd/InstanceLock.h"
#include "host/emulated/stationd/Options.h"
#include "host/emulated/stationd/RootFiles.h"
#include "host/emulated/stationd/StartupValues.h"
#include "host/emulated/stationd/StationDrivers.h"
#include "host/emulated/stationd/StationLog.h"

namespace {

// The exit status of a refusal: the host root cannot be served as it is (its
// service manager does not restart the drivers for that), or another copy
// already serves it.
constexpr int kRootUnusable = 6;
constexpr int kAlreadyServed = 1;

int Refuse(const std::string& why, int status = kRootUnusable) {
    std::fprintf(stderr, SD_ERR "v7-stationd: %s\n", why.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    namespace emulated = host::emulated;
    namespace fs = std::filesystem;

    stationd::Options options;
    std::string error;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!emulated::TakeRootOption(&args, &error) || !stationd::ParseOptions(args, &options, &error)) {
        std::fprintf(stderr, "v7-stationd: %s\n", error.c_str());
        return 2;
    }
    if (options.Help) {
        std::fputs(stationd::UsageText(), stdout);
        return 0;
    }
    if (options.Version) {
        std::puts("v7-stationd " V7_PRODUCT_VERSION);
        return 0;
    }

    // Its events go to standard error as well: a reader of it that went away
    // must not end the drivers.
    signal(SIGPIPE, SIG_IGN);
    // The daemon names a registry problem in its own refusal line.
    emulated::EchoRegistryProblems(false);
    const fs::path& root = emulated::HostRoot();
    std::error_code ec;
    const fs::path& registry = emulated::RegistryPath();
    if (!fs::is_regular_file(registry, ec)) {
        if (fs::symlink_status(registry, ec).type() == fs::file_type::not_found)
            return Refuse("the host root " + root.native() + " is not set up (run v7-host init)");
        // Something else holds the name: setting the root up again would not help.
        return Refuse("the registry " + registry.native() + " is " +
                      (fs::is_directory(registry, ec) ? "a folder" : "not a regular file") +
                      ", not a registry database; move it away and run v7-host init");
    }
    fs::path socketPath = emulated::DeviceSocketPath("Brakor");
    if (socketPath.native().size() > emulated::kMaxSocketPath)
        return Refuse("device socket path " + socketPath.native() + " is longer than 107 bytes; use a shorter host root");
    stationd::RootFiles rootFiles;
    if (!rootFiles.Open(root, &error)) return Refuse(error);

    stationd::InstanceLock lock;
    switch (lock.Acquire(rootFiles, &error)) {
    case stationd::InstanceLock::Result::Held: break;
    case stationd::InstanceLock::Result::Taken:
        return Refuse("another v7-stationd already serves the host root " + root.native(), kAlreadyServed);
    case stationd::InstanceLock::Result::Failed: return Refuse(error);
    }

    stationd::StationLog log(rootFiles, &error);
    if (!log.IsOpen()) return Refuse(error);
    log.Write("start", "pid " + std::to_string(getpid()));

    stationd::StationDrivers drivers(options, log);
    if (!stationd::WriteStartupValues(options, drivers, &error)) return Refuse(error);

    stationd::DeviceServer server(drivers, std::chrono::milliseconds(options.SlowMs));
    if (!server.Listen(rootFiles, socketPath.filename().native(), &error)) return Refuse(error);
    // The device accepts connections from here on: a unit that waits for this
    // lets "v7ctl on" follow its start at once.
    sd_notify(0, "READY=1");
    int signal = server.Run();
    sd_notify(0, "STOPPING=1");
    log.Write("stop", signal == SIGTERM  ? "SIGTERM"
                      : signal == SIGINT ? "SIGINT"
                      : drivers.PoweredOff() ? "shut down"
                                             : "error");
    return 0;
}
