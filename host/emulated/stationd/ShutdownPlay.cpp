#include "host/emulated/stationd/ShutdownPlay.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "host/emulated/exit_windows.h"
#include "host/emulated/root.h"
#include "host/emulated/stationd/StartupValues.h"
#include "host/system.h"

namespace stationd {
namespace {

using namespace std::chrono_literals;
namespace emulated = host::emulated;

// How long an ended program may take to let go of its lock.
constexpr auto kEndWait = 3s;

std::uint32_t ReadU32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

const char* Kind(std::uint32_t flags) {
    return flags & host::EWX_REBOOT                             ? "restart"
           : flags & (host::EWX_SHUTDOWN | host::EWX_POWEROFF) ? "shutdown"
                                                               : "logoff";
}

// "flags 6 (restart, force)"
std::string Describe(std::uint32_t flags) {
    std::string what = flags & host::EWX_REBOOT                             ? "restart"
                       : flags & (host::EWX_SHUTDOWN | host::EWX_POWEROFF) ? "shut down"
                                                                           : "log off";
    if (flags & host::EWX_FORCE) what += ", force";
    return "flags " + std::to_string(flags) + " (" + what + ")";
}

bool WaitForRelease(const std::filesystem::path& lockFile, int pid) {
    const auto deadline = std::chrono::steady_clock::now() + kEndWait;
    while (LockHolder(lockFile) == pid) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Ends the control center: a forced request kills it outright, as a forced
// shutdown ends programs without asking; otherwise it is asked (SIGTERM) and
// may refuse by not ending. False when it is still running.
bool EndControlCenter(bool force, StationLog& log) {
    const std::filesystem::path lockFile = ControlCenterLockPath();
    const int pid = LockHolder(lockFile);
    if (pid <= 0 || pid == getpid()) return true;
    if (kill(pid, force ? SIGKILL : SIGTERM) != 0) {
        log.Write("end", "pid " + std::to_string(pid) + " could not be ended");
        return false;
    }
    const bool ended = WaitForRelease(lockFile, pid);
    log.Write("end", "pid " + std::to_string(pid) + (ended ? "" : " did not end"));
    return ended;
}

}  // namespace

std::filesystem::path ControlCenterLockPath() { return emulated::HostRoot() / emulated::kControlCenterLockName; }

int LockHolder(const std::filesystem::path& lockFile) {
    const int fd = open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return 0;
    struct flock query{};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    const bool asked = fcntl(fd, F_GETLK, &query) == 0;
    close(fd);
    return asked && query.l_type != F_UNLCK && query.l_pid > 0 ? static_cast<int>(query.l_pid) : 0;
}

ControlReply PlayExitWindows(const Options& options, StationDrivers& drivers, StationLog& log,
                             const std::vector<std::uint8_t>& body) {
    if (body.size() != emulated::kExitWindowsSize || drivers.PoweredOff()) return {};
    const std::uint32_t flags = ReadU32(body.data());
    if ((flags & ~emulated::kExitWindowsKnownFlags) != 0) return {};
    if (options.RefuseShutdown) {
        log.Write("refused", Describe(flags));
        return {};
    }
    log.Write(Kind(flags), Describe(flags));

    if (!options.KeepPrograms && !EndControlCenter((flags & host::EWX_FORCE) != 0, log)) return {};
    if (!(flags & (host::EWX_SHUTDOWN | host::EWX_REBOOT | host::EWX_POWEROFF))) return {true, body};  // log off

    // The station goes down with the host.
    if (drivers.IsOn()) drivers.TurnOff();
    if (flags & host::EWX_REBOOT) {
        log.Write("start", "restart");
        std::string error;
        if (!WriteStartupValues(options, drivers, &error)) log.Write("error", error);
    } else {
        drivers.PowerOff();
    }
    return {true, body};
}

}  // namespace stationd
