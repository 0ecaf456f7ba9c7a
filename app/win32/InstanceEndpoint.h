// How the running control center is found on Windows: a named mutex of the
// session says whether a copy runs, and a message-only window of our own class
// takes a later copy's request to come forward. The end of the session comes
// from the system itself (the application's query and end-of-session events).
// Each request reaches the handler as the text the Linux endpoint receives.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <wx/event.h>

class wxSingleInstanceChecker;

class InstanceEndpoint : private wxEvtHandler {
public:
    // onMessage runs from the event loop (the end of the session: at once, as
    // the system ends the process when it has been told).
    explicit InstanceEndpoint(std::function<void(const std::string&)> onMessage);
    ~InstanceEndpoint() override;

    enum class Lock { kHeld, kByAnother, kFailed };
    // Takes the session's mutex; kFailed with one line in *why.
    Lock TakeLock(std::string* why);

    // Makes the window later copies reach and follows the end of the session;
    // why it could not, or empty.
    std::string Listen();

    enum class SendResult { kSent, kNoListener, kFailed };
    // Finds the running copy's window, lets its process take the foreground
    // and asks it to come forward; waits at most `timeout` for its answer.
    static SendResult SendActivate(std::chrono::milliseconds timeout);

private:
    struct Window;

    void Deliver(const std::string& message);
    void OnQueryEndSession(wxCloseEvent& event);
    void OnEndSession(wxCloseEvent& event);

    std::function<void(const std::string&)> m_onMessage;
    std::unique_ptr<wxSingleInstanceChecker> m_checker;
    std::unique_ptr<Window> m_window;
    bool m_followsSession = false;
};
