#include "host/emulated/stationd/ControlCenterEnd.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "host/emulated/control_center_instance.h"
#include "host/emulated/root.h"

namespace stationd {
namespace {

using namespace std::chrono_literals;
namespace emulated = host::emulated;

// How long a program asked to end may take to close its windows and go.
constexpr auto kAskedWait = 3000ms;
// Forced: how long it may take to end on its own before it is killed, and to
// be gone after that.
constexpr auto kForcedWait = 1000ms;

// Through syscall(): the C library's header for these lacks C linkage.
int PidfdOpen(int pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }
int PidfdSignal(int pidfd, int signal) { return static_cast<int>(syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0)); }

// A descriptor pinned to the process when it is the user's control center,
// else -1. The process is checked alive after its details were read, so they
// cannot have come from a later process given the same number.
int PinControlCenter(int pid) {
    if (pid <= 0 || pid == getpid()) return -1;
    const int pidfd = PidfdOpen(pid);
    if (pidfd < 0) return -1;
    const std::string proc = "/proc/" + std::to_string(pid);
    struct stat info{};
    std::error_code ec;
    std::string program = std::filesystem::read_symlink(proc + "/exe", ec).filename();
    const std::string deleted = " (deleted)";
    if (program.size() > deleted.size() && program.compare(program.size() - deleted.size(), deleted.size(), deleted) == 0)
        program.resize(program.size() - deleted.size());
    const bool ours = !ec && program == emulated::kControlCenterProgram && stat(proc.c_str(), &info) == 0 &&
                      info.st_uid == geteuid() && PidfdSignal(pidfd, 0) == 0;
    if (ours) return pidfd;
    close(pidfd);
    return -1;
}

}  // namespace

ControlCenterEnd::ControlCenterEnd(bool forced, StationLog& log) : m_forced(forced), m_log(log) {
    if (!Ask()) SignalLockHolder();
}

ControlCenterEnd::~ControlCenterEnd() {
    if (m_pidfd >= 0) close(m_pidfd);
}

// Sends the end of the session on the program's socket, without waiting for
// it to be read. The process listening there is waited for only when it is
// the control center.
bool ControlCenterEnd::Ask() {
    const std::filesystem::path endpoint = emulated::HostRoot() / emulated::kControlCenterEndpointName;
    struct stat info{};
    if (lstat(endpoint.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode) || info.st_uid != geteuid()) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (endpoint.native().size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, endpoint.c_str(), endpoint.native().size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const std::string request = m_forced ? emulated::kEndSessionForced : emulated::kEndSessionNormal;
    ucred peer{};
    socklen_t peerSize = sizeof peer;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &peerSize) != 0) {
        close(fd);
        return false;
    }
    // Pinned before it is asked: a program that ends at once is gone by the
    // time the request has been sent, and its number could be anyone's then.
    m_pid = peer.pid;
    m_pidfd = PinControlCenter(peer.pid);
    const bool sent =
        send(fd, request.data(), request.size(), MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(request.size());
    close(fd);
    if (!sent) {
        if (m_pidfd >= 0) close(m_pidfd);
        m_pidfd = -1;
        return false;
    }
    if (m_pidfd < 0) {
        m_log.Write("end", "asked through " + endpoint.native() + "; pid " + std::to_string(peer.pid) +
                               " is not the control center, not waited for");
        return true;
    }
    Wait(m_forced ? kForcedWait : kAskedWait);
    return true;
}

void ControlCenterEnd::SignalLockHolder() {
    std::string problem;
    const int lock = emulated::OpenControlCenterLock(emulated::HostRoot(), /*create=*/false, &problem);
    if (lock < 0) {
        // No lock file: no control center has run here. Anything else in its
        // place is told once and ends nobody.
        struct stat info{};
        if (lstat((emulated::HostRoot() / emulated::kControlCenterLockName).c_str(), &info) == 0)
            m_log.Write("end", problem + "; no program ended");
        return;
    }
    m_pid = emulated::ControlCenterLockHolder(lock);
    m_pidfd = PinControlCenter(m_pid);
    // Pinned first, then checked to hold the lock still: the signal cannot reach another process.
    const bool holds = m_pidfd >= 0 && emulated::ControlCenterLockHolder(lock) == m_pid;
    close(lock);
    if (m_pid <= 0 || m_pid == getpid()) return;
    if (!holds) {
        m_log.Write("end", "pid " + std::to_string(m_pid) + " holds the lock but is not the control center; not ended");
        return;
    }
    m_killed = m_forced;
    if (PidfdSignal(m_pidfd, m_forced ? SIGKILL : SIGTERM) != 0) {
        Finish(State::kStayed, " could not be ended");
        return;
    }
    Wait(m_forced ? kForcedWait : kAskedWait);
}

void ControlCenterEnd::Wait(std::chrono::milliseconds limit) {
    m_state = State::kWaiting;
    m_deadline = Clock::now() + limit;
}

void ControlCenterEnd::Resume() {
    if (m_state != State::kWaiting) return;
    pollfd gone{m_pidfd, POLLIN, 0};
    if (poll(&gone, 1, 0) == 1) return Finish(State::kEnded, "");
    if (Clock::now() < m_deadline) return;
    // Forced and still there: it is ended as a forced end of the session ends a program.
    if (m_forced && !m_killed && PidfdSignal(m_pidfd, SIGKILL) == 0) {
        m_killed = true;
        return Wait(kForcedWait);
    }
    Finish(State::kStayed, " did not end");
}

void ControlCenterEnd::Finish(State state, const std::string& note) {
    m_state = state;
    m_log.Write("end", "pid " + std::to_string(m_pid) + note);
    if (m_pidfd >= 0) close(m_pidfd);
    m_pidfd = -1;
}

}  // namespace stationd
