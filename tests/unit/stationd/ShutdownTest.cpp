// A request to end the session (ExitWindowsEx) played by the real station
// drivers: the log, the control center of the root ended (and nothing else),
// the station taken down, and the start-up played again on a restart or the
// drivers stopped.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "host/emulated/root.h"
#include "host/system.h"
#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;
namespace fs = std::filesystem;

namespace {

enum class Lock { kFile, kHardLink, kSymlink, kFifo };

// A program on the root: a child that holds the lock on instance.lock (or on
// the file it is a hard link to) and runs as `exe`. When it listens, the test
// reads what reaches its socket; when it answers, it ends as the control
// center does when asked (standing for that: SIGUSR1).
class FakeProgram {
public:
    FakeProgram(const char* exe, Lock lock, bool listens, bool answers, bool ignoreTerm) {
        const fs::path root = host::emulated::HostRoot();
        if (lock == Lock::kFifo) {
            m_ok = mkfifo((root / "instance.lock").c_str(), 0600) == 0;
            return;
        }
        fs::create_directories(root / "bin");
        fs::copy_file("/bin/sleep", root / "bin" / exe);
        const fs::path locked = root / (lock == Lock::kHardLink ? "other.db" : "instance.lock");
        if (listens) {
            m_listener = socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un address = UnixAddress(root / "instance.sock");
            bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        }
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0) return;
        if ((m_pid = fork()) == 0) {
            if (ignoreTerm) signal(SIGTERM, SIG_IGN);
            // listen() here: the socket's peer is this process, as with the real program.
            const int fd = open(locked.c_str(), O_RDWR | O_CREAT, 0600);
            const char ok = fd >= 0 && lockf(fd, F_TLOCK, 0) == 0 && (!listens || listen(m_listener, 4) == 0) ? '1' : '0';
            (void)!write(ready[1], &ok, 1);
            execl((root / "bin" / exe).c_str(), exe, "infinity", nullptr);
            _exit(127);
        }
        close(ready[1]);
        char ok = '0', rest;
        m_ok = read(ready[0], &ok, 1) == 1 && ok == '1' && read(ready[0], &rest, 1) == 0;  // 0: exec done
        close(ready[0]);
        if (lock == Lock::kHardLink) m_ok = m_ok && link(locked.c_str(), (root / "instance.lock").c_str()) == 0;
        if (lock == Lock::kSymlink) {
            fs::remove(locked);
            fs::create_symlink(root / "elsewhere", locked);
        }
        if (listens) m_reader = std::thread([this, answers] { ReadRequest(answers); });
    }
    ~FakeProgram() {
        if (m_reader.joinable()) m_reader.join();
        if (m_listener >= 0) close(m_listener);
        if (m_pid > 0 && Signal() == 0) kill(m_pid, SIGKILL), waitpid(m_pid, nullptr, 0);
    }

    bool Ok() const { return m_ok; }
    int Pid() const { return m_pid; }
    // The signal that ended it (0 while it still runs, -1 when it exited).
    int Signal() {
        int status = 0;
        if (m_signal == 0 && m_pid > 0 && waitpid(m_pid, &status, WNOHANG) == m_pid)
            m_signal = WIFSIGNALED(status) ? WTERMSIG(status) : -1;
        return m_signal;
    }
    // What reached its socket.
    std::string Request() {
        if (m_reader.joinable()) m_reader.join();
        return m_request;
    }

private:
    void ReadRequest(bool answer) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (poll(&waiting, 1, 8000) != 1) return;
        const int fd = accept(m_listener, nullptr, nullptr);
        timeval limit{3, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        char buffer[64];
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) m_request.append(buffer, static_cast<std::size_t>(n));
        close(fd);
        if (answer) kill(m_pid, SIGUSR1);
    }

    int m_pid = -1, m_signal = 0, m_listener = -1;
    bool m_ok = false;
    std::string m_request;
    std::thread m_reader;
};

}  // namespace

TEST_F(StationdTest, ExitWindowsIsPlayedByTheDriversAndEndsOnlyTheControlCenter) {
    struct Program {
        const char* Exe;
        Lock LockFile = Lock::kFile;
        bool Listens = false, Answers = false, IgnoresTerm = false;
    };
    const Program answering{"orvane-v7", Lock::kFile, true, true};
    const Program hung{"orvane-v7", Lock::kFile, true, false, true};  // takes no request, ignores SIGTERM
    const Program unreachable{"orvane-v7"};                          // no socket
    const std::string forced = "end-session forced\n", normal = "end-session normal\n";
    const std::string notTheLock = "end\t<root>/instance.lock ";
    struct Case {
        const char* Name;
        std::vector<std::string> Args;
        host::UINT Flags;
        Program Runs;
        bool Taken;  // the request was under way (a program may still stop it)
        std::string Request;  // what reached the program's socket
        int EndedBy;  // the signal that ended the program; 0 = it runs on
        std::vector<std::string> Events;  // after the start-up lines; "end" stands for "end\tpid <pid>"
        bool Serving;  // the drivers still answer afterwards
    };
    const std::vector<std::string> restarted = {"off\tStation1", "start\trestart", "on\tBob"};
    auto events = [](std::vector<std::string> first, const std::vector<std::string>& then) {
        first.insert(first.end(), then.begin(), then.end());
        return first;
    };
    const Case cases[] = {
        {"restart", {}, 6, answering, true, forced, SIGUSR1, events({"restart\tflags 6 (restart, force)", "end"}, restarted), true},
        {"shut down", {}, 5, answering, true, forced, SIGUSR1,
         {"shutdown\tflags 5 (shut down, force)", "end", "off\tStation1", "stop\tshut down"}, false},
        {"restart, programs asked", {}, 2, answering, true, normal, SIGUSR1,
         events({"restart\tflags 2 (restart)", "end"}, restarted), true},
        {"log off", {}, 4, answering, true, forced, SIGUSR1, {"logoff\tflags 4 (log off, force)", "end"}, true},
        {"forced, the program hangs", {}, 6, hung, true, forced, SIGKILL,
         events({"restart\tflags 6 (restart, force)", "end"}, restarted), true},
        // Asked, the program may stay: then nothing goes down, and the drivers serve meanwhile.
        {"asked, the program stays", {}, 1, hung, true, normal, 0, {"shutdown\tflags 1 (shut down)", "end\tpid <pid> did not end"}, true},
        {"without its socket, forced", {}, 6, unreachable, true, "", SIGKILL,
         events({"restart\tflags 6 (restart, force)", "end"}, restarted), true},
        {"without its socket, asked", {}, 2, unreachable, true, "", SIGTERM,
         events({"restart\tflags 2 (restart)", "end"}, restarted), true},
        {"kept programs", {"--keep-programs"}, 6, unreachable, true, "", 0,
         events({"restart\tflags 6 (restart, force)"}, restarted), true},
        {"refused", {"--refuse-shutdown"}, 5, unreachable, false, "", 0, {"refused\tflags 5 (shut down, force)"}, true},
        {"unknown flag", {}, 0x15, unreachable, false, "", 0, {}, true},
        // Only the control center is ended, and it is still found when its lock is not.
        {"another program holds the lock", {}, 6, {"v7-host"}, true, "", 0,
         events({"restart\tflags 6 (restart, force)", "end\tpid <pid> holds the lock but is not the control center; not ended"},
                restarted), true},
        {"the lock is a hard link", {}, 6, {"orvane-v7", Lock::kHardLink}, true, "", 0,
         events({"restart\tflags 6 (restart, force)", notTheLock + "has more than one link, so it is not the lock file; no program ended"},
                restarted), true},
        {"the lock is a symbolic link", {}, 6, {"orvane-v7", Lock::kSymlink, true, true}, true, forced, SIGUSR1,
         events({"restart\tflags 6 (restart, force)", "end"}, restarted), true},
        {"the lock is a FIFO", {}, 6, {"", Lock::kFifo}, true, "", 0,
         events({"restart\tflags 6 (restart, force)", notTheLock + "is not a regular file, so it is not the lock file; no program ended"},
                restarted), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TempHostRoot root;
        Start(c.Args, /*autoLaunch=*/true, "Bob");
        FakeProgram program(c.Runs.Exe, c.Runs.LockFile, c.Runs.Listens, c.Runs.Answers, c.Runs.IgnoresTerm);
        ASSERT_TRUE(program.Ok());
        const std::size_t before = StationLogEvents().size();

        EXPECT_EQ(host::ExitWindowsEx(c.Flags, 0) != 0, c.Taken);
        if (c.Runs.IgnoresTerm) {
            // While the drivers wait for the program, another client is answered.
            EXPECT_NE(Control(kFirstStation, Bytes(68)).Ok, 0);
            EXPECT_EQ(StationLogEvents().size(), before + 1) << "answered only after the wait";
        }
        std::vector<std::string> expected = c.Events;
        for (auto& event : expected) {
            if (event == "end") event = "end\tpid <pid>";
            if (const auto at = event.find("<pid>"); at != std::string::npos)
                event.replace(at, 5, std::to_string(program.Pid()));
            if (const auto at = event.find("<root>"); at != std::string::npos) event.replace(at, 6, root.Path().native());
        }
        // The rest follows the answer: wait for the drivers' lines.
        for (int i = 0; i < 500 && StationLogEvents().size() < before + expected.size(); ++i)
            std::this_thread::sleep_for(milliseconds(20));
        if (!c.Serving) {
            EXPECT_EQ(m_daemon->Stop(), 0);  // powered off: its last line is written on the way out
        }
        auto logged = StationLogEvents();
        logged.erase(logged.begin(), logged.begin() + static_cast<std::ptrdiff_t>(before));
        EXPECT_EQ(logged, expected);
        EXPECT_EQ(program.Request(), c.Request);
        EXPECT_EQ(program.Signal(), c.EndedBy);
        EXPECT_EQ(Control(kFirstStation, Bytes(68)).Ok != 0, c.Serving);
        if (c.Serving) {
            EXPECT_EQ(StationUser(m_device), "Bob");
        }

        TearDown();
    }
}

TEST_F(StationdTest, ExitWindowsWithoutDriversFails) {
    EXPECT_EQ(host::ExitWindowsEx(host::kExitShutdown | host::kExitForce, 0), 0);
}
