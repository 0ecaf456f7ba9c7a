#include "app/LiveState.h"

#include "host/emulated/live_watch.h"

wxDEFINE_EVENT(EVT_LIVE_STATE, wxThreadEvent);

namespace {
constexpr const char* kDeviceName = "Brakor";
}  // namespace

class LiveState::Watch : public host::emulated::LiveWatch {
public:
    using LiveWatch::LiveWatch;
};

LiveState::LiveState(wxEvtHandler* window) : m_window(window) {
    m_watch = std::make_unique<Watch>([this](host::emulated::LiveChange) {
        if (!m_posted.exchange(true)) wxQueueEvent(m_window, new wxThreadEvent(EVT_LIVE_STATE));
    });
    m_watch->Start(kDeviceName);
}

LiveState::~LiveState() { m_watch->Stop(); }

bool LiveState::DriversRunning() const { return m_watch->Drivers().Running; }
