#include "host/emulated/live_watch.h"

#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "host/emulated/device_protocol.h"
#include "host/emulated/root.h"

namespace host::emulated {

namespace {

namespace protocol = device_protocol;

constexpr std::uint32_t kRootEvents = IN_MODIFY | IN_CREATE | IN_MOVED_TO | IN_DELETE;
constexpr std::uint32_t kDevEvents = IN_CREATE | IN_MOVED_TO | IN_ATTRIB;
// How long Start() waits for the drivers' first answer.
constexpr int kFirstAnswerMs = 250;
// More than one watch reply never waits here: a frame beyond this is not one.
constexpr std::size_t kMaxReceived = 4096;
// The socket's name appears when the drivers bind it, a moment before they
// listen: a refused connection then is tried again, this often at most.
constexpr int kListenRetries = 50;
constexpr int kListenRetryMs = 20;

}  // namespace

LiveWatch::LiveWatch(std::function<void(LiveChange)> changed) : m_changed(std::move(changed)) {}

LiveWatch::~LiveWatch() { Stop(); }

bool LiveWatch::Start(const std::string& deviceName) {
    m_deviceName = deviceName;
    m_counterName = RegistryPath().filename().string() + "-gen";
    m_stop = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify >= 0) {
        m_rootWatch = inotify_add_watch(m_inotify, HostRoot().c_str(), kRootEvents | IN_ONLYDIR);
        m_devWatch = inotify_add_watch(m_inotify, DeviceDirPath().c_str(), kDevEvents | IN_ONLYDIR);
    }
    Connect(kFirstAnswerMs);
    // Without inotify (out of instances, say) the drivers are still followed.
    if (m_stop >= 0) m_thread = std::thread([this] { Run(); });
    return m_stop >= 0 && m_rootWatch >= 0;
}

void LiveWatch::Stop() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        if (write(m_stop, &one, sizeof one) != sizeof one) {}
        m_thread.join();
    }
    Disconnect();
    for (int* fd : {&m_inotify, &m_stop}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

DriversState LiveWatch::Drivers() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_drivers;
}

void LiveWatch::SetDrivers(const DriversState& state) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (state.Running == m_drivers.Running && state.Station == m_drivers.Station) return;
        m_drivers = state;
    }
    if (m_changed) m_changed(LiveChange::Drivers);
}

void LiveWatch::Connect(int waitMs) {
    Disconnect();
    const std::filesystem::path path = DeviceSocketPath(m_deviceName);
    sockaddr_un addr{};
    if (path.native().size() >= sizeof addr.sun_path) return;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.native().size());
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    const auto request = protocol::EncodeRequest(kWatchStationCode, nullptr, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
        close(fd);
        return;
    }
    m_socket = fd;
    if (waitMs <= 0) return;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, waitMs) > 0 && !ReadDrivers()) Disconnect();
}

void LiveWatch::Disconnect() {
    if (m_socket >= 0) close(m_socket);
    m_socket = -1;
    m_received.clear();
}

bool LiveWatch::ReadDrivers() {
    char buffer[1024];
    for (;;) {
        const ssize_t n = recv(m_socket, buffer, sizeof buffer, 0);
        if (n == 0) return false;
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            return false;
        }
        m_received.append(buffer, static_cast<std::size_t>(n));
        if (m_received.size() > kMaxReceived) return false;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(m_received.data());
    std::size_t used = 0;
    while (m_received.size() - used >= protocol::kReplyHeaderSize) {
        protocol::ReplyHeader header;
        if (!protocol::DecodeReplyHeader(data + used, &header)) return false;
        if (m_received.size() - used - protocol::kReplyHeaderSize < header.Size) break;
        const std::uint8_t* body = data + used + protocol::kReplyHeaderSize;
        DriversState state;
        state.Running = true;
        // Drivers that refuse the watch still answer: they run, and their
        // connection closing still tells when they end.
        if (header.Success && !DecodeStationState(body, header.Size, &state.Station)) return false;
        SetDrivers(state);
        used += protocol::kReplyHeaderSize + header.Size;
    }
    m_received.erase(0, used);
    return true;
}

void LiveWatch::ReadNotifications(bool* registry, bool* device) {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = read(m_inotify, buffer, sizeof buffer);
        if (n <= 0) return;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string name = event->len > 0 ? event->name : "";
            if (event->mask & IN_Q_OVERFLOW) {
                *registry = *device = true;
            } else if (event->wd == m_rootWatch) {
                if (name == m_counterName) *registry = true;
                // The device folder made anew: watch it again.
                if (name == DeviceDirPath().filename() && (event->mask & (IN_CREATE | IN_MOVED_TO))) {
                    m_devWatch = inotify_add_watch(m_inotify, DeviceDirPath().c_str(), kDevEvents | IN_ONLYDIR);
                    *device = true;
                }
            } else if (event->wd == m_devWatch) {
                if (event->mask & IN_IGNORED) m_devWatch = -1;
                else if (name == m_deviceName) *device = true;
            }
        }
    }
}

void LiveWatch::Run() {
    for (;;) {
        pollfd fds[3] = {{m_stop, POLLIN, 0}, {m_inotify, POLLIN, 0}, {m_socket, POLLIN, 0}};
        const nfds_t count = m_socket >= 0 ? 3 : 2;
        const int ready = poll(fds, count, m_retries > 0 ? kListenRetryMs : -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (ready == 0) {
            --m_retries;
            Connect(0);
            if (m_socket >= 0) m_retries = 0;
            continue;
        }
        if (fds[0].revents) return;
        bool registry = false, device = false;
        if (fds[1].revents) ReadNotifications(&registry, &device);
        if (registry && m_changed) m_changed(LiveChange::Registry);
        const bool appeared = device;
        if (count == 3 && fds[2].revents && !ReadDrivers()) {
            Disconnect();
            SetDrivers({});
            // Closed for another reason than the drivers' end (they shed idle
            // clients, or came back at once): a new connection tells.
            device = true;
        }
        if (device && m_socket < 0) Connect(0);
        if (appeared && m_socket < 0) m_retries = kListenRetries;
    }
}

}  // namespace host::emulated
