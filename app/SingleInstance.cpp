#include "app/SingleInstance.h"

#include <chrono>
#include <system_error>
#include <thread>

#include <wx/log.h>

#include "app/InstanceEndpoint.h"
#include "host/emulated/root.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kActivateLength = std::char_traits<char>::length(SingleInstance::kActivate);
// A later copy may start while this one is between taking the lock and opening
// its endpoint; it retries this long.
constexpr int kConnectAttempts = 20;
constexpr auto kConnectRetryDelay = std::chrono::milliseconds(50);
// How long a later copy waits for a running copy that takes no new connections.
constexpr auto kSendTimeout = std::chrono::seconds(2);

wxString ToWx(const fs::path& path) { return wxString::FromUTF8(path.string()); }

// Keeps the last message wx logs while it is active, so a failure is told once
// on our own terms instead of in a log window of its own.
class LastLogMessage : public wxLog {
public:
    LastLogMessage() : m_previous(wxLog::SetActiveTarget(this)) {}
    ~LastLogMessage() override { wxLog::SetActiveTarget(m_previous); }
    const wxString& Text() const { return m_text; }

protected:
    void DoLogRecord(wxLogLevel, const wxString& message, const wxLogRecordInfo&) override { m_text = message; }

private:
    wxLog* m_previous;
    wxString m_text;
};

}  // namespace

SingleInstance::SingleInstance(const fs::path& root, std::function<void()> onActivate)
    : m_root(root), m_onActivate(std::move(onActivate)) {
    std::error_code ec;
    fs::create_directories(m_root, ec);
    LastLogMessage log;
    m_locked = m_checker.Create(ToWx(LockPath(m_root).filename()), ToWx(m_root));
    if (!m_locked) {
        m_problem = "cannot take the single-instance lock " + LockPath(m_root).string();
        wxString why = log.Text();
        why.Replace("\n", " ");
        if (!why.empty()) m_problem += ": " + why.utf8_string();
    }
}

SingleInstance::~SingleInstance() = default;

fs::path SingleInstance::LockPath(const fs::path& root) { return root / host::emulated::kControlCenterLockName; }
fs::path SingleInstance::EndpointPath(const fs::path& root) { return root / "instance.sock"; }

bool SingleInstance::IsAnotherRunning() const {
    // Without a lock file no copy can be told from another: let this one run.
    return m_locked && m_checker.IsAnotherRunning();
}

bool SingleInstance::Listen() {
    if (m_endpoint || !m_locked || IsAnotherRunning()) return m_endpoint != nullptr;
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

    auto listener = std::make_unique<InstanceEndpoint>(kActivateLength, [this](const std::string& received) {
        // Anything else, a part of the request included, is not from a copy of ours.
        if (received == kActivate && m_onActivate) m_onActivate();
    });
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
