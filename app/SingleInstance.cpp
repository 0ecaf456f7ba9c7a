#include "app/SingleInstance.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

#include <wx/log.h>
#include <wx/sckaddr.h>
#include <wx/socket.h>

#include "host/emulated/root.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kActivateLength = std::char_traits<char>::length(SingleInstance::kActivate);
// A later copy may start while this one is between taking the lock and opening
// its endpoint; it retries this long.
constexpr int kConnectAttempts = 20;
constexpr auto kConnectRetryDelay = std::chrono::milliseconds(50);

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

SingleInstance::~SingleInstance() {
    for (auto& [client, received] : m_clients) {
        client->Notify(false);
        client->Destroy();
    }
    if (m_server) {
        m_server->Notify(false);
        m_server->Destroy();
        std::error_code ec;
        fs::remove(EndpointPath(m_root), ec);
    }
}

fs::path SingleInstance::LockPath(const fs::path& root) { return root / host::emulated::kControlCenterLockName; }
fs::path SingleInstance::EndpointPath(const fs::path& root) { return root / "instance.sock"; }

bool SingleInstance::IsAnotherRunning() const {
    // Without a lock file no copy can be told from another: let this one run.
    return m_locked && m_checker.IsAnotherRunning();
}

bool SingleInstance::Listen() {
    if (m_server || !m_locked || IsAnotherRunning()) return m_server != nullptr;
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

    wxUNIXaddress address;
    address.Filename(ToWx(endpoint));
    errno = 0;
    auto* server = new wxSocketServer(address, wxSOCKET_NOWAIT);
    if (!server->IsOk()) {
        const int error = errno;
        server->Destroy();
        m_problem = cannot + (error ? std::strerror(error) : "the socket could not be opened");
        return false;
    }
    fs::permissions(endpoint, fs::perms::owner_read | fs::perms::owner_write, ec);
    server->SetEventHandler(*this, kServerId);
    server->SetNotify(wxSOCKET_CONNECTION_FLAG);
    server->Notify(true);
    Bind(wxEVT_SOCKET, &SingleInstance::OnServerEvent, this, kServerId);
    Bind(wxEVT_SOCKET, &SingleInstance::OnClientEvent, this, kClientId);
    m_server = server;
    return true;
}

void SingleInstance::OnServerEvent(wxSocketEvent& event) {
    if (event.GetSocketEvent() != wxSOCKET_CONNECTION || !m_server) return;
    wxSocketBase* client = m_server->Accept(false);
    if (!client) return;
    client->SetFlags(wxSOCKET_NOWAIT);
    client->SetEventHandler(*this, kClientId);
    client->SetNotify(wxSOCKET_INPUT_FLAG | wxSOCKET_LOST_FLAG);
    client->Notify(true);
    m_clients.emplace(client, std::string());
}

void SingleInstance::OnClientEvent(wxSocketEvent& event) {
    wxSocketBase* client = event.GetSocket();
    auto it = m_clients.find(client);
    if (it == m_clients.end()) return;
    std::string& received = it->second;
    bool done = event.GetSocketEvent() == wxSOCKET_LOST;
    if (event.GetSocketEvent() == wxSOCKET_INPUT) {
        char buffer[64];
        client->Read(buffer, sizeof buffer);
        received.append(buffer, client->LastReadCount());
        // The request is short; anything longer is not from a copy of ours.
        done = done || received.size() >= kActivateLength;
    }
    if (!done) return;
    const bool activate = received == kActivate;
    m_clients.erase(it);
    client->Notify(false);
    client->Destroy();
    if (activate && m_onActivate) m_onActivate();
}

bool SingleInstance::ActivateRunningCopy() const {
    const fs::path endpoint = EndpointPath(m_root);
    if (endpoint.native().size() > host::emulated::kMaxSocketPath) return false;
    wxUNIXaddress address;
    address.Filename(ToWx(endpoint));
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        // Blocking: this copy has no event loop to spare and ends right after.
        wxSocketClient client(wxSOCKET_BLOCK | wxSOCKET_WAITALL);
        client.SetTimeout(2);
        if (client.Connect(address, true)) {
            client.Write(kActivate, static_cast<wxUint32>(kActivateLength));
            const bool sent = !client.Error() && client.LastWriteCount() == kActivateLength;
            client.Close();
            return sent;
        }
        std::this_thread::sleep_for(kConnectRetryDelay);
    }
    return false;
}
