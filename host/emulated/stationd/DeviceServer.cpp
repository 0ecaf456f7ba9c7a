#include "host/emulated/stationd/DeviceServer.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "host/emulated/device_protocol.h"

namespace stationd {

namespace {

namespace protocol = host::emulated::device_protocol;

// Beyond these a client must first take its replies before it is read again,
// so one that never reads cannot make the daemon's memory grow without end.
constexpr std::size_t kMaxQueuedOutput = 64 * 1024;
constexpr std::size_t kMaxConnections = 512;
// Accepted per round at most, so a flood of new clients cannot push out one
// that connected earlier before its request has been read.
constexpr int kAcceptBatch = 32;
// How long accepting pauses after an error that retrying cannot cure at once.
constexpr std::chrono::milliseconds kAcceptBackOff{100};

volatile sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signal) { g_stopSignal = signal; }

int OpenReserve() { return open("/dev/null", O_RDONLY | O_CLOEXEC); }

// bind() takes a path; going through the dev folder's descriptor means the
// name is resolved in that folder, never through a link swapped in later.
int BindInFolder(int socketFd, int dirFd, const std::string& name) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, name.c_str(), name.size());
    int here = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (here < 0 || fchdir(dirFd) != 0) {
        if (here >= 0) close(here);
        return -1;
    }
    // Created 0600 from the start: no moment where another user could connect.
    mode_t oldMask = umask(0177);
    int bound = bind(socketFd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    int bindError = errno;
    umask(oldMask);
    if (fchdir(here) != 0) bound = -1;
    close(here);
    errno = bindError;
    return bound;
}

}  // namespace

DeviceServer::DeviceServer(StationDrivers& drivers, std::chrono::milliseconds replyDelay)
    : m_drivers(drivers), m_replyDelay(replyDelay) {}

DeviceServer::~DeviceServer() {
    for (auto& [id, connection] : m_connections) close(connection.Fd);
    if (m_listenFd >= 0) {
        close(m_listenFd);
        unlinkat(m_devFd, m_socketName.c_str(), 0);
    }
    if (m_reserveFd >= 0) close(m_reserveFd);
    if (m_devFd >= 0) close(m_devFd);
}

bool DeviceServer::Listen(const RootFiles& root, const std::string& name, std::string* error) {
    auto shown = root.DeviceDirPath() / name;
    if (name.size() >= sizeof(sockaddr_un::sun_path)) {
        *error = "device name " + name + " is too long";
        return false;
    }
    m_devFd = fcntl(root.DeviceDir(), F_DUPFD_CLOEXEC, 0);
    // The caller holds the instance lock, so a socket still here is stale; a
    // link is removed itself. Anything else is not ours to delete.
    struct stat info {};
    if (fstatat(m_devFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISSOCK(info.st_mode) && !S_ISLNK(info.st_mode)) {
            *error = shown.native() + " is in the way: it is not a socket";
            return false;
        }
        unlinkat(m_devFd, name.c_str(), 0);
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = std::string("cannot make the device socket: ") + std::strerror(errno);
        return false;
    }
    if (BindInFolder(fd, m_devFd, name) != 0 || listen(fd, 128) != 0) {
        *error = "cannot serve " + shown.native() + ": " + std::strerror(errno);
        close(fd);
        return false;
    }
    m_listenFd = fd;
    m_socketName = name;
    m_reserveFd = OpenReserve();
    return true;
}

void DeviceServer::AcceptAll(Clock::time_point roundStart) {
    if (m_reserveFd < 0) m_reserveFd = OpenReserve();  // lost to a full table once; take it back
    for (int i = 0; i < kAcceptBatch; ++i) {
        if (m_connections.size() >= kMaxConnections && !ShedLongestIdle(roundStart)) return;
        int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            auto& connection = m_connections[m_nextId++];
            connection.Fd = fd;
            connection.LastHeard = Clock::now();
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return;
        if (errno == EMFILE || errno == ENFILE) {
            if (ShedLongestIdle(roundStart)) continue;
            // Connections taken in this round make way from the next one on.
            if (!m_connections.empty()) return;
            if (m_reserveFd >= 0) {
                RefuseOne();
                continue;
            }
        }
        // Retrying at once would only spin: wait a little before the next try.
        m_acceptPausedUntil = Clock::now() + kAcceptBackOff;
        return;
    }
}

bool DeviceServer::ShedLongestIdle(Clock::time_point roundStart) {
    // A watcher is idle by nature: it makes way only when no caller can.
    auto oldest = m_connections.end();
    const auto before = [&oldest, this](const Connection& c) {
        if (oldest == m_connections.end()) return true;
        const Connection& o = oldest->second;
        return c.Watching != o.Watching ? !c.Watching : c.LastHeard < o.LastHeard;
    };
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it)
        if (it->second.LastHeard < roundStart && before(it->second)) oldest = it;
    if (oldest == m_connections.end()) return false;
    Close(oldest->first);
    return true;
}

void DeviceServer::RefuseOne() {
    close(m_reserveFd);
    int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) close(fd);
    m_reserveFd = OpenReserve();
}

void DeviceServer::Queue(std::uint64_t id, Connection& connection, std::vector<std::uint8_t> frame) {
    if (m_replyDelay.count() > 0) {
        connection.Delayed += frame.size();
        m_pending.push({Clock::now() + m_replyDelay, m_nextSequence++, id, std::move(frame)});
    } else {
        connection.Out.insert(connection.Out.end(), frame.begin(), frame.end());
    }
}

bool DeviceServer::ReadFrom(std::uint64_t id, Connection& connection) {
    std::uint8_t buffer[16384];
    ssize_t n = recv(connection.Fd, buffer, sizeof buffer, 0);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (n == 0) {
        // The client ended its side; it may still be waiting for replies.
        connection.Closing = true;
        return true;
    }
    connection.LastHeard = Clock::now();
    connection.In.Append(buffer, static_cast<std::size_t>(n));
    protocol::Request request;
    for (;;) {
        auto status = connection.In.Next(&request);
        if (status == protocol::ParseStatus::NeedMore) break;
        if (status != protocol::ParseStatus::Complete) {
            // A broken frame: answer what came before it, then hang up.
            connection.Closing = true;
            break;
        }
        if (request.Code == host::emulated::kWatchStationCode) {
            connection.Watching = request.Body.empty();
            const std::string state = connection.Watching ? host::emulated::EncodeStationState(CurrentState()) : "";
            Queue(id, connection,
                  protocol::EncodeReply(connection.Watching, state.data(), static_cast<std::uint32_t>(state.size())));
            continue;
        }
        ControlReply reply = m_drivers.Handle(request.Code, request.Body);
        if (reply.Then) m_work.push_back(std::move(reply.Then));
        Queue(id, connection,
              protocol::EncodeReply(reply.Success, reply.Body.data(), static_cast<std::uint32_t>(reply.Body.size())));
    }
    return true;
}

bool DeviceServer::WriteTo(Connection& connection) {
    while (!connection.Out.empty()) {
        ssize_t n = send(connection.Fd, connection.Out.data(), connection.Out.size(), MSG_NOSIGNAL);
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        connection.Out.erase(connection.Out.begin(), connection.Out.begin() + n);
    }
    return true;
}

void DeviceServer::Close(std::uint64_t id) {
    auto it = m_connections.find(id);
    if (it == m_connections.end()) return;
    close(it->second.Fd);
    m_connections.erase(it);
}

void DeviceServer::DeliverDueReplies() {
    auto now = Clock::now();
    while (!m_pending.empty() && m_pending.top().Due <= now) {
        // priority_queue::top is const; the frame is copied out before pop.
        PendingReply reply = m_pending.top();
        m_pending.pop();
        auto it = m_connections.find(reply.Connection);
        if (it == m_connections.end()) continue;  // the client has gone
        it->second.Delayed -= reply.Frame.size();
        auto& out = it->second.Out;
        out.insert(out.end(), reply.Frame.begin(), reply.Frame.end());
        if (!WriteTo(it->second) || Finished(it->second)) Close(reply.Connection);
    }
}

void DeviceServer::ResumeWork(const std::vector<pollfd>& fds, std::size_t first) {
    const auto now = Clock::now();
    // Work added in this round was not in the poll set; it is looked at from the next one.
    for (std::size_t i = 0; i < m_work.size(); ++i) {
        const bool ready = first + i < fds.size() && fds[first + i].revents != 0;
        if ((ready || now >= m_work[i]->Deadline()) && m_work[i]->Resume()) m_work[i].reset();
    }
    m_work.erase(std::remove(m_work.begin(), m_work.end(), nullptr), m_work.end());
}

host::emulated::StationState DeviceServer::CurrentState() const {
    return {m_drivers.IsOn(), m_drivers.ReportedUser()};
}

void DeviceServer::NotifyWatchers() {
    const host::emulated::StationState now = CurrentState();
    if (now == m_notified) return;
    m_notified = now;
    const std::string body = host::emulated::EncodeStationState(now);
    std::vector<std::uint64_t> gone;
    for (auto& [id, connection] : m_connections) {
        if (!connection.Watching) continue;
        // A watcher that stopped reading is dropped rather than fed without end.
        if (connection.Out.size() + connection.Delayed >= kMaxQueuedOutput) {
            gone.push_back(id);
            continue;
        }
        Queue(id, connection, protocol::EncodeReply(true, body.data(), static_cast<std::uint32_t>(body.size())));
        if (!WriteTo(connection)) gone.push_back(id);
    }
    for (std::uint64_t id : gone) Close(id);
}

int DeviceServer::PollTimeoutMs() const {
    auto now = Clock::now();
    auto wake = m_pending.empty() ? Clock::time_point::max() : m_pending.top().Due;
    if (m_acceptPausedUntil > now) wake = std::min(wake, m_acceptPausedUntil);
    for (const auto& work : m_work) wake = std::min(wake, work->Deadline());
    if (wake == Clock::time_point::max()) return -1;
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now);
    return wait.count() < 0 ? 0 : static_cast<int>(wait.count());
}

int DeviceServer::Run() {
    // The stop signals are only let through while poll waits, so one that
    // arrives between two rounds is never lost.
    sigset_t stopSignals, waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    m_notified = CurrentState();

    std::vector<pollfd> fds;
    std::vector<std::uint64_t> ids;
    // A shut down of the host powers the drivers off once its reply is written.
    while (g_stopSignal == 0 && !m_drivers.PoweredOff()) {
        fds.clear();
        ids.clear();
        fds.push_back({m_listenFd, static_cast<short>(Clock::now() >= m_acceptPausedUntil ? POLLIN : 0), 0});
        for (auto& [id, connection] : m_connections) {
            short events = 0;
            if (!connection.Closing && connection.Out.size() + connection.Delayed < kMaxQueuedOutput) events |= POLLIN;
            if (!connection.Out.empty()) events |= POLLOUT;
            fds.push_back({connection.Fd, events, 0});
            ids.push_back(id);
        }
        const std::size_t firstWork = fds.size();
        for (const auto& work : m_work) fds.push_back({work->Fd(), POLLIN, 0});
        int timeoutMs = PollTimeoutMs();
        timespec timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
        int ready = ppoll(fds.data(), fds.size(), timeoutMs < 0 ? nullptr : &timeout, &waitMask);
        if (ready < 0 && errno != EINTR) break;
        auto roundStart = Clock::now();
        if (ready > 0) {
            for (std::size_t i = 1; i < firstWork; ++i) {
                short revents = fds[i].revents;
                if (revents == 0) continue;
                std::uint64_t id = ids[i - 1];
                auto& connection = m_connections.at(id);
                bool keep = true;
                if (!connection.Closing && (revents & (POLLIN | POLLHUP | POLLERR))) keep = ReadFrom(id, connection);
                // Hung up both ways with nothing left to send: replies still
                // in the timer queue have nowhere to go.
                else if ((revents & (POLLHUP | POLLERR)) && connection.Out.empty()) keep = false;
                // Answer at once rather than wait for the next round.
                if (keep) keep = WriteTo(connection);
                if (!keep || Finished(connection)) Close(id);
            }
            if (fds[0].revents & POLLIN) AcceptAll(roundStart);
        }
        DeliverDueReplies();
        ResumeWork(fds, firstWork);
        NotifyWatchers();
    }
    return g_stopSignal;
}

}  // namespace stationd
