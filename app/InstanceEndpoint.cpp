#include "app/InstanceEndpoint.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <wx/evtloop.h>
#include <wx/evtloopsrc.h>

namespace fs = std::filesystem;

namespace {

constexpr int kBacklog = 16;

bool MakeAddress(const fs::path& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.native().size());
    return true;
}

}  // namespace

// One descriptor watched by the event loop; owns the descriptor. The event
// loop's source is static in wx, so this works before the main loop runs.
class InstanceEndpoint::Watch : public wxEventLoopSourceHandler {
public:
    Watch(int fd, std::function<void()> onReady)
        : m_fd(fd),
          m_onReady(std::move(onReady)),
          m_source(wxEventLoopBase::AddSourceForFD(fd, this, wxEVENT_SOURCE_INPUT | wxEVENT_SOURCE_EXCEPTION)) {}
    ~Watch() override { Stop(); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    bool IsOk() const { return m_source != nullptr; }
    int Fd() const { return m_fd; }

    // The event loop may still call this handler in the dispatch that stopped
    // it (input and error come together); it then does nothing.
    void Stop() {
        delete m_source;
        m_source = nullptr;
        if (m_fd >= 0) close(m_fd);
        m_fd = -1;
    }

    void OnReadWaiting() override { Ready(); }
    void OnWriteWaiting() override {}
    // End of stream or an error: the next read says which, and the connection closes.
    void OnExceptionWaiting() override { Ready(); }

private:
    void Ready() {
        if (m_fd >= 0) m_onReady();
    }

    int m_fd;
    std::function<void()> m_onReady;
    wxEventLoopSource* m_source;
};

struct InstanceEndpoint::Connection {
    std::unique_ptr<Watch> watch;
    std::string received;
};

InstanceEndpoint::InstanceEndpoint(std::size_t messageLength, std::function<void(const std::string&)> onMessage)
    : m_messageLength(messageLength), m_onMessage(std::move(onMessage)) {}

InstanceEndpoint::~InstanceEndpoint() {
    m_connections.clear();
    m_finished.clear();
    if (m_listener) {
        m_listener.reset();
        ::unlink(m_path.c_str());
    }
}

std::string InstanceEndpoint::Listen(const fs::path& path) {
    if (m_listener) return {};
    sockaddr_un address;
    if (!MakeAddress(path, address)) return std::strerror(ENAMETOOLONG);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::strerror(errno);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        return std::strerror(error);
    }
    // No peer can connect before listen(), so the mode holds before the first one.
    if (::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, kBacklog) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        return std::strerror(error);
    }
    auto listener = std::make_unique<Watch>(fd, [this] { AcceptAll(); });
    if (!listener->IsOk()) {
        listener.reset();
        ::unlink(path.c_str());
        return "the event loop cannot watch the socket";
    }
    m_listener = std::move(listener);
    m_path = path;
    return {};
}

void InstanceEndpoint::AcceptAll() {
    for (;;) {
        const int fd = ::accept4(m_listener->Fd(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;  // EAGAIN: none left; anything else: the next wake-up tries again
        }
        if (m_connections.size() >= kMaxPending) Finish(*m_connections.front(), false);
        auto connection = std::make_unique<Connection>();
        connection->watch = std::make_unique<Watch>(fd, [this, raw = connection.get()] { ReadFrom(*raw); });
        if (connection->watch->IsOk()) m_connections.push_back(std::move(connection));
    }
}

void InstanceEndpoint::ReadFrom(Connection& connection) {
    char buffer[64];
    for (;;) {
        const ssize_t n = ::recv(connection.watch->Fd(), buffer, sizeof buffer, 0);
        if (n > 0) {
            connection.received.append(buffer, static_cast<std::size_t>(n));
            // The message is short; whatever is longer is not from a copy of ours.
            if (connection.received.size() >= m_messageLength) return Finish(connection, true);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        return Finish(connection, true);  // end of stream or an error
    }
}

// Closes the connection at once, but frees it and runs the handler only after
// the current dispatch: wx may still call the watch, and the handler may run a
// loop of its own.
void InstanceEndpoint::Finish(Connection& connection, bool deliver) {
    connection.watch->Stop();
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
        if (it->get() != &connection) continue;
        m_finished.push_back(std::move(*it));
        m_connections.erase(it);
        break;
    }
    std::string message = deliver ? std::move(connection.received) : std::string();
    CallAfter([this, deliver, message = std::move(message)] {
        m_finished.clear();
        if (deliver && m_onMessage) m_onMessage(message);
    });
}

InstanceEndpoint::SendResult InstanceEndpoint::Send(const fs::path& path, std::string_view message,
                                                    std::chrono::milliseconds timeout) {
    sockaddr_un address;
    if (!MakeAddress(path, address)) return SendResult::kFailed;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return SendResult::kFailed;
    // Bounds a connect to a full backlog and a send to a copy that stopped reading.
    timeval limit{};
    limit.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    limit.tv_usec = static_cast<suseconds_t>(timeout.count() % 1000 * 1000);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return SendResult::kNoListener;
    }
    std::size_t sent = 0;
    while (sent < message.size()) {
        // MSG_NOSIGNAL: a copy that closed its end must not end this one with SIGPIPE.
        const ssize_t n = ::send(fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // timed out (EAGAIN) or the peer went away
        }
    }
    ::close(fd);
    return sent == message.size() ? SendResult::kSent : SendResult::kFailed;
}
