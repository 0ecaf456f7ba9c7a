// A request to end the session (ExitWindowsEx) played by the real station
// drivers: the log, the control center of the root ended, the station taken
// down, and the start-up played again on a restart or the drivers stopped.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host/emulated/root.h"
#include "host/system.h"
#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;

namespace {

// Stands in for a running control center: a child process that holds the
// lock on the root's instance.lock, as the program does while it runs.
class FakeControlCenter {
public:
    explicit FakeControlCenter(bool ignoreTerm) {
        int ready[2];
        if (pipe(ready) != 0) return;
        if ((m_pid = fork()) == 0) {
            if (ignoreTerm) signal(SIGTERM, SIG_IGN);
            const int fd = open((host::emulated::HostRoot() / "instance.lock").c_str(), O_RDWR | O_CREAT, 0600);
            const char ok = fd >= 0 && lockf(fd, F_TLOCK, 0) == 0 ? '1' : '0';
            (void)!write(ready[1], &ok, 1);
            for (;;) pause();
        }
        close(ready[1]);
        char ok = '0';
        m_locked = read(ready[0], &ok, 1) == 1 && ok == '1';
        close(ready[0]);
    }
    ~FakeControlCenter() {
        if (m_pid > 0 && Signal() == 0) kill(m_pid, SIGKILL), waitpid(m_pid, nullptr, 0);
    }

    bool Locked() const { return m_pid > 0 && m_locked; }
    int Pid() const { return m_pid; }
    // The signal that ended it (0 while it still runs).
    int Signal() {
        int status = 0;
        if (m_signal == 0 && m_pid > 0 && waitpid(m_pid, &status, WNOHANG) == m_pid)
            m_signal = WIFSIGNALED(status) ? WTERMSIG(status) : -1;
        return m_signal;
    }

private:
    int m_pid = -1, m_signal = 0;
    bool m_locked = false;
};

}  // namespace

TEST_F(StationdTest, ExitWindowsIsPlayedByTheDrivers) {
    struct Case {
        const char* Name;
        std::vector<std::string> Args;
        host::UINT Flags;
        bool Taken;
        int EndedBy;  // the signal that ended the control center; 0 = it runs on
        std::vector<std::string> Events;  // after the start-up lines; "end" stands for "end\tpid <pid>"
        bool Serving;  // the drivers still answer afterwards
        bool IgnoresTerm = false;  // the program does not end when asked
    };
    const Case cases[] = {
        {"restart", {}, 6, true, SIGKILL,
         {"restart\tflags 6 (restart, force)", "end", "off\tStation1", "start\trestart", "on\tBob"}, true},
        {"shut down", {}, 5, true, SIGKILL,
         {"shutdown\tflags 5 (shut down, force)", "end", "off\tStation1", "stop\tshut down"}, false},
        {"restart, programs asked", {}, 2, true, SIGTERM,
         {"restart\tflags 2 (restart)", "end", "off\tStation1", "start\trestart", "on\tBob"}, true},
        {"kept programs", {"--keep-programs"}, 6, true, 0,
         {"restart\tflags 6 (restart, force)", "off\tStation1", "start\trestart", "on\tBob"}, true},
        {"log off", {}, 4, true, SIGKILL, {"logoff\tflags 4 (log off, force)", "end"}, true},
        // Asked, the program may stay: then nothing goes down.
        {"program stays", {}, 1, false, 0, {"shutdown\tflags 1 (shut down)", "end\tpid <pid> did not end"}, true, true},
        {"refused", {"--refuse-shutdown"}, 5, false, 0, {"refused\tflags 5 (shut down, force)"}, true},
        {"unknown flag", {}, 0x15, false, 0, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TempHostRoot root;
        Start(c.Args, /*autoLaunch=*/true, "Bob");
        FakeControlCenter program(c.IgnoresTerm);
        ASSERT_TRUE(program.Locked());
        const std::size_t before = StationLogEvents().size();

        EXPECT_EQ(host::ExitWindowsEx(c.Flags, 0) != 0, c.Taken);
        EXPECT_EQ(program.Signal(), c.EndedBy);
        std::vector<std::string> expected = c.Events;
        for (auto& event : expected) {
            if (event == "end") event = "end\tpid <pid>";
            if (const auto at = event.find("<pid>"); at != std::string::npos)
                event.replace(at, 5, std::to_string(program.Pid()));
        }
        if (!c.Serving) {
            EXPECT_EQ(m_daemon->Stop(), 0);  // powered off: its last line is written on the way out
        }
        auto events = StationLogEvents();
        events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(before));
        EXPECT_EQ(events, expected);
        EXPECT_EQ(Control(kFirstStation, Bytes(68)).Ok != 0, c.Serving);
        if (c.Serving) {
            EXPECT_EQ(StationUser(m_device), "Bob");
        }

        TearDown();
    }
}

TEST_F(StationdTest, ExitWindowsWithoutDriversFails) {
    EXPECT_EQ(host::ExitWindowsEx(host::EWX_SHUTDOWN | host::EWX_FORCE, 0), 0);
}
