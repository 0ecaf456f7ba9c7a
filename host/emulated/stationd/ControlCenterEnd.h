// Ending the host root's control center when the session ends. It is asked
// through its own socket; only when that cannot be reached is it signalled,
// and then only a process that holds a sound lock file (a regular file with
// one link, owned by this user) and runs the control center's program. No
// other process is ever ended. Waiting for the end happens in the daemon's
// event loop: Fd() turns readable when the program has gone.
#pragma once

#include <chrono>
#include <string>

#include "host/emulated/stationd/StationLog.h"

namespace stationd {

class ControlCenterEnd {
public:
    using Clock = std::chrono::steady_clock;
    enum class State { kEnded, kWaiting, kStayed };

    // Asks (or signals) the control center to end; forced ends it at once.
    ControlCenterEnd(bool forced, StationLog& log);
    ~ControlCenterEnd();
    ControlCenterEnd(const ControlCenterEnd&) = delete;
    ControlCenterEnd& operator=(const ControlCenterEnd&) = delete;

    State Current() const { return m_state; }
    // While waiting: readable once the program has ended, and the time to give up.
    int Fd() const { return m_pidfd; }
    Clock::time_point Deadline() const { return m_deadline; }
    // Called when Fd() is readable or the deadline has passed.
    void Resume();

private:
    bool Ask();
    void SignalLockHolder();
    void Wait(std::chrono::milliseconds limit);
    void Finish(State state, const std::string& note);

    bool m_forced;
    StationLog& m_log;
    State m_state = State::kEnded;
    int m_pid = 0;
    int m_pidfd = -1;
    bool m_killed = false;
    Clock::time_point m_deadline;
};

}  // namespace stationd
