// One running copy of the control center per host root. The lock lives in the
// root, so two roots never see each other; whether a copy runs is decided by
// the lock alone. The first copy listens on a Unix socket in the root; a later
// copy sends it "Activate" and ends, and the station drivers send it the end
// of the session. On Windows (win32/) the machine is the one host: a mutex of
// the session stands for the lock, a message window for the socket, and the
// end of the session comes from the system.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <wx/event.h>

#include "host/emulated/control_center_instance.h"

class InstanceEndpoint;

class SingleInstance : public wxEvtHandler {
public:
    // Takes the lock in root. onActivate runs (on the UI thread, from the event
    // loop) each time a later copy asks this one to come forward; onEndSession
    // (forced or not) when the session ends.
    SingleInstance(const std::filesystem::path& root, std::function<void()> onActivate,
                   std::function<void(bool forced)> onEndSession = {});
    ~SingleInstance() override;

    // True when another process holds the lock of this root now.
    bool IsAnotherRunning() const;

    // Asks the copy that holds the lock to come forward. True when the request
    // was handed over.
    bool ActivateRunningCopy() const;

    // Opens the endpoint on which later copies reach this one; false when it
    // could not be opened (the lock still holds).
    bool Listen();

    // Why the lock or the endpoint failed, as one line; empty when neither did.
    const std::string& Problem() const { return m_problem; }

    static std::filesystem::path LockPath(const std::filesystem::path& root);
    static std::filesystem::path EndpointPath(const std::filesystem::path& root);

    // The request a later copy sends.
    static constexpr const char* kActivate = host::emulated::kActivateRequest;

private:
    void OnRequest(const std::string& received);

    std::filesystem::path m_root;
    std::function<void()> m_onActivate;
    std::function<void(bool forced)> m_onEndSession;
    int m_lockFd = -1;
    bool m_locked = false;       // this copy holds the lock
    bool m_otherHolds = false;   // another process holds it
    std::string m_problem;
    std::unique_ptr<InstanceEndpoint> m_endpoint;
};
