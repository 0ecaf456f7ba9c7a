#include <algorithm>

#include <filesystem>

#include "host/emulated/device_client.h"
#include "host/emulated/root.h"
#include "unit/stationd/StationdFixture.h"

using namespace stationd_test;

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr host::DWORD kFirstStation = 0x220803, kFirstDriver = 0x22080A;

// Restores the client's reply timeout after a test that shortens it.
struct ReplyTimeout {
    explicit ReplyTimeout(std::chrono::milliseconds timeout) { host::emulated::SetDeviceReplyTimeout(timeout); }
    ~ReplyTimeout() { host::emulated::SetDeviceReplyTimeout(std::chrono::milliseconds(5000)); }
};

}  // namespace

TEST(DeviceClient, OpeningFailsWithoutADaemonOrWithAMalformedPath) {
    TempHostRoot root;
    EXPECT_EQ(host::CreateDeviceFile("\\\\.\\Brakor"), host::INVALID_HANDLE_VALUE);
    SetUpRegistry();
    RunningStationDrivers daemon;
    ASSERT_TRUE(daemon.Started());
    for (const char* path : {"Brakor", "\\\\.\\", "\\\\.\\..", "\\\\.\\dev/Brakor", "C:\\Brakor", "\\\\.\\Nothing"})
        EXPECT_EQ(host::CreateDeviceFile(path), host::INVALID_HANDLE_VALUE) << path;
    EXPECT_EQ(host::CreateDeviceFile(nullptr), host::INVALID_HANDLE_VALUE);
}

TEST(DeviceClient, ARootTooLongForASocketAddressIsRefusedWithOneLine) {
    TempHostRoot root;
    std::filesystem::path deep = root.Path() / std::string(100, 'd');
    std::filesystem::create_directories(deep / "dev");
    host::emulated::SetHostRoot(deep);
    testing::internal::CaptureStderr();
    EXPECT_EQ(host::CreateDeviceFile("\\\\.\\Brakor"), host::INVALID_HANDLE_VALUE);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("107"), std::string::npos) << err;
}

TEST_F(StationdTest, HandlesAreDistinctSmallValuesAndCloseOnce) {
    Start();
    host::HANDLE second = host::CreateDeviceFile("\\\\.\\BRAKOR");  // device names ignore case
    ASSERT_NE(second, host::INVALID_HANDLE_VALUE);
    EXPECT_NE(second, nullptr);
    EXPECT_NE(second, m_device);
    EXPECT_TRUE(host::CloseHandle(second));
    EXPECT_FALSE(host::CloseHandle(second));
    EXPECT_FALSE(Control(second, kFirstStation, Bytes(68)).Ok);
    EXPECT_FALSE(host::CloseHandle(host::INVALID_HANDLE_VALUE));
    EXPECT_FALSE(host::CloseHandle(nullptr));
    // The other handle is untouched.
    EXPECT_TRUE(Control(m_device, kFirstStation, Bytes(68)).Ok);
}

TEST_F(StationdTest, ACallToADaemonThatWentAwayFailsAndTheHandleReconnectsLater) {
    Start();
    ASSERT_TRUE(Control(m_device, kFirstStation, Bytes(68)).Ok);
    m_daemon->Stop();
    // Writing to the dead connection must not raise SIGPIPE in this process.
    EXPECT_FALSE(Control(m_device, kFirstStation, Bytes(68)).Ok);
    EXPECT_FALSE(Control(m_device, kFirstStation, Bytes(68)).Ok);
    m_daemon = std::make_unique<RunningStationDrivers>();
    ASSERT_TRUE(m_daemon->Started());
    EXPECT_TRUE(Control(m_device, kFirstStation, Bytes(68)).Ok);
}

TEST_F(StationdTest, ALateReplyIsNeverTakenForTheNextCallsAnswer) {
    Start({"--slow", "600"});
    {
        ReplyTimeout shortWait(std::chrono::milliseconds(150));
        EXPECT_FALSE(Control(m_device, kFirstStation, Bytes(68)).Ok);
    }
    // The station reply arrives 450 ms after the timeout; the driver call
    // must get its own 80-byte record, not those 68 bytes.
    auto call = Control(m_device, kFirstDriver, Bytes(80));
    ASSERT_TRUE(call.Ok);
    ASSERT_EQ(call.Reply.size(), 80u);
    EXPECT_EQ(call.Reply[6] | call.Reply[7] << 8, 0x3AE3);
}
