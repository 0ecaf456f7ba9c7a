#include "host/emulated/stationd/DeviceServer.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "host/emulated/device_protocol.h"

namespace stationd {

namespace {

namespace protocol = host::emulated::device_protocol;

// Beyond these a client must first take its replies before it is read again,
// so one that never reads cannot make the daemon's memory grow without end.
constexpr std::size_t kMaxQueuedOutput = 64 * 1024;
constexpr std::size_t kMaxConnections = 512;

volatile sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signal) { g_stopSignal = signal; }

}  // namespace

DeviceServer::DeviceServer(StationDrivers& drivers, std::chrono::milliseconds replyDelay)
    : m_drivers(drivers), m_replyDelay(replyDelay) {}

DeviceServer::~DeviceServer() {
    for (auto& [id, connection] : m_connections) close(connection.Fd);
    if (m_listenFd >= 0) {
        close(m_listenFd);
        unlink(m_socketPath.c_str());
    }
}

bool DeviceServer::Listen(const std::filesystem::path& socketPath, std::string* error) {
    sockaddr_un addr{};
    if (socketPath.native().size() >= sizeof(addr.sun_path)) {
        *error = "device socket path " + socketPath.native() + " is longer than 107 bytes; use a shorter host root";
        return false;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = std::string("cannot make the device socket: ") + std::strerror(errno);
        return false;
    }
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.native().size());
    // The caller holds the instance lock, so a socket file still here is stale.
    unlink(socketPath.c_str());
    // Created 0600 from the start: no moment where another user could connect.
    mode_t oldMask = umask(0177);
    int bound = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    umask(oldMask);
    if (bound != 0 || listen(fd, 128) != 0) {
        *error = "cannot serve " + socketPath.native() + ": " + std::strerror(errno);
        close(fd);
        return false;
    }
    chmod(socketPath.c_str(), 0600);
    m_listenFd = fd;
    m_socketPath = socketPath;
    return true;
}

void DeviceServer::AcceptAll() {
    for (;;) {
        int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;  // EAGAIN: no more waiting; other errors: try again next round
        if (m_connections.size() >= kMaxConnections) {
            close(fd);
            continue;
        }
        m_connections[m_nextId++].Fd = fd;
    }
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
    if (n == 0) return false;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    connection.In.insert(connection.In.end(), buffer, buffer + n);

    std::size_t offset = 0;
    for (;;) {
        protocol::Request request;
        std::size_t consumed = 0;
        auto status = protocol::ParseRequest(connection.In.data() + offset, connection.In.size() - offset,
                                             &request, &consumed);
        if (status == protocol::ParseStatus::BadMagic || status == protocol::ParseStatus::TooLarge) return false;
        if (status == protocol::ParseStatus::NeedMore) break;
        offset += consumed;
        ControlReply reply = m_drivers.Handle(request.Code, request.Body);
        Queue(id, connection,
              protocol::EncodeReply(reply.Success, reply.Body.data(), static_cast<std::uint32_t>(reply.Body.size())));
        if (offset == connection.In.size()) break;
    }
    connection.In.erase(connection.In.begin(), connection.In.begin() + static_cast<std::ptrdiff_t>(offset));
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
        if (!WriteTo(it->second)) Close(reply.Connection);
    }
}

int DeviceServer::PollTimeoutMs() const {
    if (m_pending.empty()) return -1;
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(m_pending.top().Due - Clock::now());
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

    std::vector<pollfd> fds;
    std::vector<std::uint64_t> ids;
    // A shut down of the host powers the drivers off once its reply is written.
    while (g_stopSignal == 0 && !m_drivers.PoweredOff()) {
        fds.clear();
        ids.clear();
        fds.push_back({m_listenFd, POLLIN, 0});
        for (auto& [id, connection] : m_connections) {
            short events = connection.Out.size() + connection.Delayed < kMaxQueuedOutput ? POLLIN : 0;
            if (!connection.Out.empty()) events |= POLLOUT;
            fds.push_back({connection.Fd, events, 0});
            ids.push_back(id);
        }
        int timeoutMs = PollTimeoutMs();
        timespec timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
        int ready = ppoll(fds.data(), fds.size(), timeoutMs < 0 ? nullptr : &timeout, &waitMask);
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0) {
            for (std::size_t i = 1; i < fds.size(); ++i) {
                if (fds[i].revents == 0) continue;
                std::uint64_t id = ids[i - 1];
                auto& connection = m_connections.at(id);
                bool keep = true;
                if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) keep = ReadFrom(id, connection);
                // Answer at once rather than wait for the next round.
                if (keep) keep = WriteTo(connection);
                if (!keep) Close(id);
            }
            if (fds[0].revents & POLLIN) AcceptAll();
        }
        DeliverDueReplies();
    }
    return g_stopSignal;
}

}  // namespace stationd
