// "v7-host drivers" and "stations" against a device that is missing or does not
// behave: each is a failure with one line on stderr, never an empty list. v7ctl
// takes none of it for an answer either.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "host/emulated/root.h"
#include "support/TempHostRoot.h"

namespace {

// The device socket, answering every request with the same bytes; with
// hangUp it closes instead of waiting for the next request.
class FakeDevice {
public:
    FakeDevice(std::string answer, bool hangUp) {
        std::filesystem::create_directories(host::emulated::DeviceDirPath());
        const sockaddr_un addr = UnixAddress(host::emulated::DeviceSocketPath("Brakor"));
        bind(m_listen, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
        listen(m_listen, 8);
        m_thread = std::thread([=, this] {
            for (pollfd p{m_listen, POLLIN, 0}; !m_stop;) {
                if (poll(&p, 1, 20) <= 0) continue;
                int fd = m_open.emplace_back(accept(m_listen, nullptr, nullptr));
                char request[12 + 80];
                recv(fd, request, sizeof request, 0);
                send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
                if (hangUp) shutdown(fd, SHUT_RDWR);
            }
        });
    }
    ~FakeDevice() {
        m_stop = true;
        m_thread.join();
        for (int fd : m_open) close(fd);
        close(m_listen);
    }

private:
    int m_listen = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::atomic<bool> m_stop{false};
    std::vector<int> m_open;
    std::thread m_thread;
};

TEST(MisbehavingDeviceTest, AMissingDeviceOrEveryBrokenAnswerFailsTheListWithOneLine) {
    using namespace std::string_literals;
    const struct {
        const char* Name;
        std::optional<std::string> Answer;  // none: no device at all
        bool HangUp;
        std::vector<const char*> Commands;  // silence costs v7-host a whole reply timeout per command
        int TurnOnExit, StatusExit;  // v7ctl's: 3 no drivers, 5 no usable answer, 6 none in time
    } cases[] = {
        {"is not there", std::nullopt, false, {"drivers", "stations"}, 3, 3},
        {"closes", "", true, {"drivers", "stations"}, 5, 5},
        {"stays silent", "", false, {"drivers"}, 6, 6},
        {"answers garbage", "HTTP/1.1 400 Bad Request\r\n\r\n", false, {"drivers", "stations"}, 5, 5},
        {"announces an oversized reply", "\1\0\0\0\0\0\1\0"s + std::string(100, 'x'), false, {"drivers", "stations"}, 5, 5},
        // The one answer goes to the first call; the turn-on call waits in vain.
        {"answers a short record", "\1\0\0\0\3\0\0\0abc"s, false, {"drivers", "stations"}, 6, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        InitializedHostRoot root;
        std::optional<FakeDevice> device;
        if (c.Answer) device.emplace(*c.Answer, c.HangUp);
        for (const char* command : c.Commands) {
            ToolResult r = RunHostTool({command});
            EXPECT_NE(r.ExitCode, 0) << command;
            if (c.Answer) {
                EXPECT_EQ(LineCount(r.Err), 1) << r.Err;
                EXPECT_EQ(r.Err.rfind("v7-host: reading the ", 0), 0u) << r.Err;
            } else {
                EXPECT_EQ(r.Err, "v7-host: the station drivers are not running (no device \\\\.\\Brakor)\n");
            }
            EXPECT_EQ(r.Out, "") << command;
        }
        // Turning on fails and records nothing; the status does not call the drivers running.
        EXPECT_EQ(RunV7ctl({"on", "--timeout", "0.2"}).ExitCode, c.TurnOnExit);
        const ToolResult status = RunV7ctl({"status", "--timeout", "0.2"});
        EXPECT_EQ(status.ExitCode, c.StatusExit);
        EXPECT_NE(status.Out.find("Station1 off"), std::string::npos) << status.Out;
        EXPECT_NE(status.Out.find(c.Answer ? "Drivers: not answering" : "Drivers: not running"), std::string::npos)
            << status.Out;
    }
}

}  // namespace
