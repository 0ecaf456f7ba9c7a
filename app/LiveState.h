// Brings the host's news to the main window while it is open: the registry
// was written, or the station drivers changed, came or went. The watching
// runs on a thread of the host layer and sleeps until something moves; this
// posts one event per burst to the window, which does its work in its own
// event loop.
#pragma once

#include <atomic>
#include <memory>

#include <wx/event.h>

wxDECLARE_EVENT(EVT_LIVE_STATE, wxThreadEvent);

class LiveState {
public:
    // Learns at once whether the drivers answer; then EVT_LIVE_STATE goes to
    // window after each change.
    explicit LiveState(wxEvtHandler* window);
    ~LiveState();
    LiveState(const LiveState&) = delete;
    LiveState& operator=(const LiveState&) = delete;

    // The window took the event: the next change posts another.
    void Taken() { m_posted = false; }
    // Whether the drivers answered and are still connected.
    bool DriversRunning() const;

private:
    class Watch;  // the host's own way of following it

    wxEvtHandler* m_window;
    std::atomic<bool> m_posted{false};
    std::unique_ptr<Watch> m_watch;
};
