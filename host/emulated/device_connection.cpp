#include "host/emulated/device_connection.h"

#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <thread>

namespace host::emulated {

namespace {

using Clock = std::chrono::steady_clock;

// A full backlog lasts only while the drivers take a burst of connections
// (a flood of idle ones, say): a caller waits that long rather than take the
// device for missing.
constexpr auto kBacklogWait = std::chrono::seconds(1);
constexpr auto kBacklogRetry = std::chrono::milliseconds(2);

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
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, m_socketPath.c_str(), m_socketPath.native().size());
    const auto deadline = Clock::now() + kBacklogWait;
    for (;;) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return false;
        // A Unix-domain connect completes at once or fails (EAGAIN: backlog full).
        if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0) {
            m_fd = fd;
            return true;
        }
        const int error = errno;
        close(fd);
        if (error != EAGAIN || Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kBacklogRetry);
    }
}

void DeviceConnection::Disconnect() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}

// EPIPE and ECONNRESET before any reply byte mean the daemon closed its end
// with the request unread: the kernel reports a reset only when the closing
// side left data in its receive queue, and a broken pipe when it was gone first.
DeviceConnection::Step DeviceConnection::SendAll(const std::vector<std::uint8_t>& data, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        // MSG_NOSIGNAL: a daemon that went away must not kill the caller with SIGPIPE.
        ssize_t n = send(m_fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(m_fd, POLLOUT, deadline)) return Step::TimedOut;
        } else {
            return n < 0 && (errno == EPIPE || errno == ECONNRESET) ? Step::Unread : Step::Closed;
        }
    }
    return Step::Done;
}

DeviceConnection::Step DeviceConnection::ReceiveExactly(std::uint8_t* data, std::size_t size,
                                                        Clock::time_point deadline) {
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = recv(m_fd, data + got, size - got, 0);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n == 0) {
            return Step::Closed;  // the daemon closed the connection
        } else if (errno == EINTR) {
            continue;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!WaitFor(m_fd, POLLIN, deadline)) return Step::TimedOut;
        } else {
            return errno == ECONNRESET && got == 0 ? Step::Unread : Step::Closed;
        }
    }
    return Step::Done;
}

DeviceFault DeviceConnection::ExchangeOnce(const std::vector<std::uint8_t>& request,
                                           device_protocol::ReplyHeader* header, std::vector<std::uint8_t>* body,
                                           Clock::time_point deadline, bool* unread) {
    std::uint8_t head[device_protocol::kReplyHeaderSize];
    Step step = SendAll(request, deadline);
    if (step == Step::Done) step = ReceiveExactly(head, sizeof head, deadline);
    if (step == Step::Done) {
        if (!device_protocol::DecodeReplyHeader(head, header))
            return device_protocol::GetU32(head) > 1 ? DeviceFault::Garbled : DeviceFault::Oversized;
        body->resize(header->Size);
        step = ReceiveExactly(body->data(), body->size(), deadline);
        if (step == Step::Unread) step = Step::Closed;  // part of the reply came: the request was read
    }
    *unread = step == Step::Unread;
    return step == Step::Done ? DeviceFault::None : step == Step::TimedOut ? DeviceFault::NoReply : DeviceFault::Closed;
}

DeviceFault DeviceConnection::Exchange(const std::vector<std::uint8_t>& request, device_protocol::ReplyHeader* header,
                                       std::vector<std::uint8_t>* body, std::chrono::milliseconds timeout) {
    bool kept = Connected();
    if (!kept && !Connect()) return DeviceFault::Unreachable;
    auto deadline = Clock::now() + timeout;
    bool unread = false;
    DeviceFault fault = ExchangeOnce(request, header, body, deadline, &unread);
    if (unread && kept) fault = Connect() ? ExchangeOnce(request, header, body, deadline, &unread) : DeviceFault::Unreachable;
    if (fault != DeviceFault::None) Disconnect();
    return fault;
}

}  // namespace host::emulated
