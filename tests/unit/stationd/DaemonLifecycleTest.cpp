#include <algorithm>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "host/emulated/root.h"
#include "unit/stationd/StationdFixture.h"

using namespace stationd_test;
namespace fs = std::filesystem;

TEST_F(StationdTest, SigtermEndsCleanlyAndRemovesTheSocket) {
    Start();
    fs::path socket = host::emulated::DeviceSocketPath("Brakor");
    struct stat info {};
    ASSERT_EQ(stat(socket.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    EXPECT_EQ(m_daemon->Stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(socket)));
    auto lines = StationLogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("\tstop\tSIGTERM"), std::string::npos) << lines.back();
}

TEST_F(StationdTest, ASecondDaemonOnTheSameRootRefusesAndTheFirstKeepsServing) {
    Start();
    DaemonExit second = RunDaemonToExit({});
    EXPECT_NE(second.ExitCode, 0);
    EXPECT_EQ(std::count(second.Err.begin(), second.Err.end(), '\n'), 1);
    EXPECT_NE(second.Err.find("already"), std::string::npos) << second.Err;
    EXPECT_TRUE(Control(m_device, 0x220803, std::vector<std::uint8_t>(68)).Ok);
}

TEST(StationdRoot, ARootWithoutARegistryIsRefused) {
    TempHostRoot root;
    DaemonExit result = RunDaemonToExit({});
    EXPECT_NE(result.ExitCode, 0);
    EXPECT_NE(result.Err.find("v7-host init"), std::string::npos) << result.Err;
    EXPECT_EQ(std::count(result.Err.begin(), result.Err.end(), '\n'), 1);
    EXPECT_FALSE(fs::exists(host::emulated::RegistryPath()));
}

TEST(StationdRoot, AStaleSocketFileIsReplaced) {
    TempHostRoot root;
    SetUpRegistry();
    // A socket left by a daemon that was killed: bound, nobody listening.
    fs::path path = host::emulated::DeviceSocketPath("Brakor");
    fs::create_directories(path.parent_path());
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof(addr.sun_path) - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    close(fd);

    RunningStationDrivers daemon;
    ASSERT_TRUE(daemon.Started());
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\Brakor");
    ASSERT_NE(device, host::INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Control(device, 0x220803, std::vector<std::uint8_t>(68)).Ok);
    host::CloseHandle(device);
}
