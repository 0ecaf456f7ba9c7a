// One running copy of the control center per user and session on Windows (the
// machine is the one host): the root is not used. The endpoint holds the
// session's mutex and the window a later copy asks to come forward; the
// session's end comes from the system.
#include "app/SingleInstance.h"

#include <chrono>
#include <thread>

#include "app/win32/InstanceEndpoint.h"

namespace fs = std::filesystem;

namespace {

namespace emulated = host::emulated;

// A later copy may start while this one is between taking the mutex and making
// its window; it retries this long.
constexpr int kConnectAttempts = 20;
constexpr auto kConnectRetryDelay = std::chrono::milliseconds(50);
// How long a later copy waits for a running copy that does not answer.
constexpr auto kSendTimeout = std::chrono::seconds(2);

}  // namespace

SingleInstance::SingleInstance(const fs::path& root, std::function<void()> onActivate,
                               std::function<void(bool forced)> onEndSession)
    : m_root(root), m_onActivate(std::move(onActivate)), m_onEndSession(std::move(onEndSession)) {
    m_endpoint = std::make_unique<InstanceEndpoint>([this](const std::string& received) { OnRequest(received); });
    std::string why;
    switch (m_endpoint->TakeLock(&why)) {
        case InstanceEndpoint::Lock::kHeld: m_locked = true; break;
        case InstanceEndpoint::Lock::kByAnother: m_otherHolds = true; break;
        case InstanceEndpoint::Lock::kFailed: m_problem = "cannot take the single-instance lock: " + why; break;
    }
}

SingleInstance::~SingleInstance() { m_endpoint.reset(); }

bool SingleInstance::IsAnotherRunning() const { return m_otherHolds; }

void SingleInstance::OnRequest(const std::string& received) {
    if (received == emulated::kActivateRequest) {
        if (m_onActivate) m_onActivate();
    } else if (received == emulated::kEndSessionForced || received == emulated::kEndSessionNormal) {
        if (m_onEndSession) m_onEndSession(received == emulated::kEndSessionForced);
    }
}

bool SingleInstance::Listen() {
    if (!m_locked) return false;
    const std::string why = m_endpoint->Listen();
    if (!why.empty()) m_problem = "cannot listen for later copies: " + why;
    return why.empty();
}

bool SingleInstance::ActivateRunningCopy() const {
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        // Blocking: this copy has no event loop to spare and ends right after.
        switch (InstanceEndpoint::SendActivate(kSendTimeout)) {
            case InstanceEndpoint::SendResult::kSent: return true;
            case InstanceEndpoint::SendResult::kFailed: return false;
            case InstanceEndpoint::SendResult::kNoListener: break;
        }
        std::this_thread::sleep_for(kConnectRetryDelay);
    }
    return false;
}
