#include "host/emulated/device_connection.h"

#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace host::emulated {

namespace {

using Clock = std::chrono::steady_clock;

// Waits for the socket to become ready; false on timeout or error.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0) return false;
        pollfd p{fd, events, 0};
        // Round up so a sub-millisecond remainder still waits.
        int ready = poll(&p, 1, static_cast<int>(left.count()) + 1);
        if (ready > 0) return true;
        if (ready == 0) {
            if (Clock::now() >= deadline) return false;
            continue;
        }
        if (errno != EINTR) return false;
    }
}

}  // namespace

bool DeviceConnection::Connect() {
    Disconnect();
    if (m_socketPath.native().size() >= sizeof(sockaddr_un::sun_path)) return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, m_socketPath.c_str(), m_socketPath.native().size());
    // A Unix-domain connect completes at once or fails (EAGAIN: backlog full).
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void DeviceConnection::Disconnect() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}

bool DeviceConnection::SendAll(const std::vector<std::uint8_t>& data, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        // MSG_NOSIGNAL: a daemon that went away must not kill the caller with SIGPIPE.
        ssize_t n = send(m_fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(m_fd, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

bool DeviceConnection::ReceiveExactly(std::uint8_t* data, std::size_t size, Clock::time_point deadline) {
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = recv(m_fd, data + got, size - got, 0);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n == 0) {
            return false;  // the daemon closed the connection
        } else if (errno == EINTR) {
            continue;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!WaitFor(m_fd, POLLIN, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

bool DeviceConnection::Exchange(const std::vector<std::uint8_t>& request, device_protocol::ReplyHeader* header,
                                std::vector<std::uint8_t>* body, std::chrono::milliseconds timeout) {
    if (!Connected() && !Connect()) return false;
    auto deadline = Clock::now() + timeout;
    std::uint8_t head[device_protocol::kReplyHeaderSize];
    bool ok = SendAll(request, deadline) && ReceiveExactly(head, sizeof head, deadline) &&
              device_protocol::DecodeReplyHeader(head, header);
    if (ok) {
        body->resize(header->Size);
        ok = ReceiveExactly(body->data(), body->size(), deadline);
    }
    if (!ok) Disconnect();
    return ok;
}

}  // namespace host::emulated
