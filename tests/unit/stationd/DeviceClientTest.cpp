#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <vector>

#include "host/emulated/device_protocol.h"
#include "host/emulated/root.h"
#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;
namespace protocol = host::emulated::device_protocol;

TEST(DeviceClient, OpeningFailsWithoutADaemonForAMalformedPathOrATooLongRoot) {
    TempHostRoot root;
    EXPECT_EQ(host::CreateDeviceFile("\\\\.\\Brakor"), host::kInvalidHandle);
    SetUpRegistry();
    {
        RunningStationDrivers daemon;
        ASSERT_TRUE(daemon.Started());
        for (const char* path : {"Brakor", "\\\\.\\", "\\\\.\\..", "\\\\.\\dev/Brakor", "C:\\Brakor", "\\\\.\\Nothing"})
            EXPECT_EQ(host::CreateDeviceFile(path), host::kInvalidHandle) << path;
        EXPECT_EQ(host::CreateDeviceFile(nullptr), host::kInvalidHandle);
    }
    std::filesystem::path deep = root.Path() / std::string(100, 'd');
    std::filesystem::create_directories(deep / "dev");
    host::emulated::SetHostRoot(deep);
    testing::internal::CaptureStderr();
    EXPECT_EQ(host::CreateDeviceFile("\\\\.\\Brakor"), host::kInvalidHandle);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(LineCount(err), 1) << err;
    EXPECT_NE(err.find("107"), std::string::npos) << err;
}

// A listener whose backlog is full stands for drivers busy taking a burst of
// connections: opening the device waits for room instead of failing at once,
// and gives up when none comes.
TEST(DeviceClient, OpeningWaitsOutAFullBacklog) {
    TempHostRoot root;
    std::filesystem::create_directories(host::emulated::DeviceDirPath());
    const sockaddr_un addr = UnixAddress(host::emulated::DeviceSocketPath("Brakor"));
    const auto* address = reinterpret_cast<const sockaddr*>(&addr);
    int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(bind(listener, address, sizeof addr), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    std::vector<int> queued;
    for (;;) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (connect(fd, address, sizeof addr) != 0) {
            close(fd);
            break;
        }
        queued.push_back(fd);
    }
    ASSERT_FALSE(queued.empty());

    EXPECT_EQ(host::CreateDeviceFile("\\\\.\\Brakor"), host::kInvalidHandle) << "nobody made room";
    auto accepted = std::async(std::launch::async, [listener] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return accept(listener, nullptr, nullptr);
    });
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\Brakor");
    EXPECT_NE(device, host::kInvalidHandle) << "room came after 100 ms";
    host::CloseHandle(device);
    close(accepted.get());
    for (int fd : queued) close(fd);
    close(listener);
}

TEST_F(StationdTest, HandlesAreDistinctCloseOnceAndReconnectAfterTheDaemonWentAway) {
    Start();
    host::HANDLE second = host::CreateDeviceFile("\\\\.\\BRAKOR");  // device names ignore case
    ASSERT_NE(second, host::kInvalidHandle);
    EXPECT_NE(second, nullptr);
    EXPECT_NE(second, m_device);
    EXPECT_TRUE(host::CloseHandle(second));
    EXPECT_FALSE(host::CloseHandle(second));
    EXPECT_FALSE(stationd_test::Control(second, kFirstStation, Bytes(68)).Ok);
    EXPECT_FALSE(host::CloseHandle(host::kInvalidHandle));
    EXPECT_FALSE(host::CloseHandle(nullptr));
    EXPECT_TRUE(Control(kFirstStation, Bytes(68)).Ok) << "the other handle is untouched";

    m_daemon->Stop();
    // Writing to the dead connection must not raise SIGPIPE in this process.
    EXPECT_FALSE(Control(kFirstStation, Bytes(68)).Ok);
    EXPECT_FALSE(Control(kFirstStation, Bytes(68)).Ok);
    m_daemon = std::make_unique<RunningStationDrivers>();
    ASSERT_TRUE(m_daemon->Started());
    EXPECT_TRUE(Control(kFirstStation, Bytes(68)).Ok);
}

TEST(DeviceProtocol, FramesAreCompleteOnlyWhenWholeAndNeverOverTheLimit) {
    protocol::Request request;
    std::size_t consumed = 0;
    auto parse = [&](const Bytes& frame, std::size_t n) { return protocol::ParseRequest(frame.data(), n, &request, &consumed); };
    auto frame = protocol::EncodeRequest(1, "xyz", 3);
    for (std::size_t n = 1; n < frame.size(); ++n) EXPECT_EQ(parse(frame, n), protocol::ParseStatus::NeedMore) << n;

    // The announced size alone decides, before any body byte arrives.
    auto header = protocol::EncodeRequest(1, nullptr, 0);
    for (std::uint32_t size : {4097u, 0xFFFFFFFFu}) {
        protocol::PutU32(header.data() + 8, size);
        EXPECT_EQ(parse(header, header.size()), protocol::ParseStatus::TooLarge) << size;
    }
    auto largest = protocol::EncodeRequest(2, Bytes(4096, 7).data(), 4096);
    EXPECT_EQ(parse(largest, largest.size()), protocol::ParseStatus::Complete);
    EXPECT_EQ(consumed, largest.size());

    // The client takes only flags 0 and 1 and sizes up to the limit.
    const struct {
        std::uint32_t Flag, Size;
        bool Taken;
    } replies[] = {{0, 0, true}, {1, 4096, true}, {1, 4097, false}, {2, 0, false}, {0x50545448, 8, false}};
    for (auto [flag, size, taken] : replies) {
        std::uint8_t head[8];
        protocol::PutU32(head, flag);
        protocol::PutU32(head + 4, size);
        protocol::ReplyHeader replyHeader;
        EXPECT_EQ(protocol::DecodeReplyHeader(head, &replyHeader), taken) << flag << " " << size;
    }
}
