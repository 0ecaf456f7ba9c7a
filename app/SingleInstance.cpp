#include "app/SingleInstance.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>

#include "app/InstanceEndpoint.h"
#include "host/emulated/root.h"

namespace fs = std::filesystem;

namespace {

namespace emulated = host::emulated;

// The longest request the endpoint takes; whatever is longer is not ours.
constexpr std::size_t kRequestLength = std::max({std::char_traits<char>::length(emulated::kActivateRequest),
                                                 std::char_traits<char>::length(emulated::kEndSessionForced),
                                                 std::char_traits<char>::length(emulated::kEndSessionNormal)});
// A later copy may start while this one is between taking the lock and opening
// its endpoint; it retries this long.
constexpr int kConnectAttempts = 20;
constexpr auto kConnectRetryDelay = std::chrono::milliseconds(50);
// How long a later copy waits for a running copy that takes no new connections.
constexpr auto kSendTimeout = std::chrono::seconds(2);

}  // namespace

SingleInstance::SingleInstance(const fs::path& root, std::function<void()> onActivate,
                               std::function<void(bool forced)> onEndSession)
    : m_root(root), m_onActivate(std::move(onActivate)), m_onEndSession(std::move(onEndSession)) {
    std::error_code ec;
    fs::create_directories(m_root, ec);
    std::string why;
    m_lockFd = emulated::OpenControlCenterLock(m_root, /*create=*/true, &why);
    if (m_lockFd >= 0) {
        switch (emulated::TakeControlCenterLock(m_lockFd, m_root, &why)) {
            case emulated::LockTaken::kHeld: m_locked = true; break;
            case emulated::LockTaken::kByAnother: m_otherHolds = true; break;
            case emulated::LockTaken::kFailed: break;
        }
    }
    if (!m_locked && !m_otherHolds) m_problem = "cannot take the single-instance lock: " + why;
}

SingleInstance::~SingleInstance() {
    m_endpoint.reset();
    if (m_lockFd >= 0) ::close(m_lockFd);  // lets the lock go
}

fs::path SingleInstance::LockPath(const fs::path& root) { return root / emulated::kControlCenterLockName; }
fs::path SingleInstance::EndpointPath(const fs::path& root) { return root / emulated::kControlCenterEndpointName; }

bool SingleInstance::IsAnotherRunning() const { return m_otherHolds; }

void SingleInstance::OnRequest(const std::string& received) {
    // Anything else, a part of a request included, is not from a copy of ours
    // or from the station drivers.
    if (received == emulated::kActivateRequest) {
        if (m_onActivate) m_onActivate();
    } else if (received == emulated::kEndSessionForced || received == emulated::kEndSessionNormal) {
        if (m_onEndSession) m_onEndSession(received == emulated::kEndSessionForced);
    }
}

bool SingleInstance::Listen() {
    if (m_endpoint || !m_locked) return m_endpoint != nullptr;
    const fs::path endpoint = EndpointPath(m_root);
    const std::string cannot = "cannot listen on " + endpoint.string() + ": ";
    if (endpoint.native().size() > host::emulated::kMaxSocketPath) {
        m_problem = cannot + "the path is longer than the " + std::to_string(host::emulated::kMaxSocketPath) +
                    " bytes a socket path may have";
        return false;
    }
    // The lock is ours, so a socket file left here belongs to a copy that died.
    std::error_code ec;
    if (!fs::remove(endpoint, ec) && ec) {
        m_problem = cannot + ec.message();
        return false;
    }

    auto listener =
        std::make_unique<InstanceEndpoint>(kRequestLength, [this](const std::string& received) { OnRequest(received); });
    const std::string why = listener->Listen(endpoint);
    if (!why.empty()) {
        m_problem = cannot + why;
        return false;
    }
    m_endpoint = std::move(listener);
    return true;
}

bool SingleInstance::ActivateRunningCopy() const {
    const fs::path endpoint = EndpointPath(m_root);
    if (endpoint.native().size() > host::emulated::kMaxSocketPath) return false;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        // Blocking: this copy has no event loop to spare and ends right after.
        switch (InstanceEndpoint::Send(endpoint, kActivate, kSendTimeout)) {
            case InstanceEndpoint::SendResult::kSent: return true;
            case InstanceEndpoint::SendResult::kFailed: return false;
            case InstanceEndpoint::SendResult::kNoListener: break;
        }
        std::this_thread::sleep_for(kConnectRetryDelay);
    }
    return false;
}
