// "v7-host drivers" and "stations" against a device that does not behave: each
// misbehaviour is a failure with one line on stderr, never an empty list.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "host/emulated/device_protocol.h"
#include "host/emulated/root.h"
#include "support/TempHostRoot.h"

namespace {

namespace protocol = host::emulated::device_protocol;
using Bytes = std::vector<std::uint8_t>;

// A device socket whose every connection gets the same (mis)treatment.
class FakeDevice {
public:
    explicit FakeDevice(std::function<void(int fd)> answer) : m_answer(std::move(answer)) {
        std::string path = host::emulated::DeviceSocketPath("Brakor");
        std::filesystem::create_directories(host::emulated::DeviceDirPath());
        m_listen = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.c_str(), sizeof(addr.sun_path) - 1);
        bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(m_listen, 8);
        m_thread = std::thread([this] { Serve(); });
    }
    ~FakeDevice() {
        m_stop = true;
        m_thread.join();
        for (int fd : m_open) close(fd);
        close(m_listen);
    }

private:
    void Serve() {
        while (!m_stop) {
            pollfd p{m_listen, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            m_answer(fd);
            m_open.push_back(fd);  // closed at the end unless the answer closed it
        }
    }

    std::function<void(int)> m_answer;
    int m_listen = -1;
    std::atomic<bool> m_stop{false};
    std::vector<int> m_open;
    std::thread m_thread;
};

// Reads the request header and body the tool sends.
void TakeRequest(int fd) {
    std::uint8_t buffer[12 + 80];
    recv(fd, buffer, sizeof buffer, 0);
}

void Send(int fd, const Bytes& bytes) { send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

Bytes Reply(std::uint32_t flag, std::uint32_t size, std::size_t bodyBytes) {
    Bytes frame(8 + bodyBytes, 'x');
    protocol::PutU32(frame.data(), flag);
    protocol::PutU32(frame.data() + 4, size);
    return frame;
}

struct Misbehaviour {
    const char* Name;
    std::function<void(int)> Answer;
    std::vector<const char*> Commands;  // a silent device costs a full reply timeout each
};

TEST(MisbehavingDeviceTest, EveryBrokenAnswerFailsTheListWithOneLine) {
    const Misbehaviour cases[] = {
        {"closes",
         [](int fd) {
             TakeRequest(fd);
             shutdown(fd, SHUT_RDWR);
         },
         {"drivers", "stations"}},
        {"stays silent", TakeRequest, {"drivers"}},
        {"answers garbage",
         [](int fd) {
             TakeRequest(fd);
             const char text[] = "HTTP/1.1 400 Bad Request\r\n\r\n";
             Send(fd, Bytes(text, text + sizeof text - 1));
         },
         {"drivers", "stations"}},
        {"announces an oversized reply",
         [](int fd) {
             TakeRequest(fd);
             Send(fd, Reply(1, 65536, 100));
         },
         {"drivers", "stations"}},
        {"answers a short record",
         [](int fd) {
             TakeRequest(fd);
             Send(fd, Reply(1, 3, 3));
         },
         {"drivers", "stations"}},
    };
    for (const auto& c : cases) {
        TempHostRoot root;
        ASSERT_EQ(RunHostTool({"init"}).ExitCode, 0);
        FakeDevice device(c.Answer);
        for (const char* command : c.Commands) {
            ToolResult r = RunHostTool({command});
            EXPECT_NE(r.ExitCode, 0) << c.Name << ": " << command;
            EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << c.Name << ": " << r.Err;
            EXPECT_EQ(r.Err.rfind("v7-host: ", 0), 0u) << c.Name << ": " << r.Err;
            EXPECT_EQ(r.Out, "") << c.Name << ": " << command;
        }
    }
}

}  // namespace
