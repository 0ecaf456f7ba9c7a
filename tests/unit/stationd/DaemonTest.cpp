#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/emulated/root.h"
#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;
using regtest::Binary;
using regtest::Query;
namespace fs = std::filesystem;

TEST_F(StationdTest, StartWritesTheDriversValuesAndTurnsTheStationOnWhenAskedAndAllowed) {
    const struct {
        std::vector<std::string> Args;
        bool AutoLaunch;
        std::uint8_t Launched;
        const char* User;  // the registry's current user; the station list's while on
    } cases[] = {{{}, false, 0, "[ None ]"}, {{}, true, 1, "Bob"}, {{"--refuse-on"}, true, 0, "[ None ]"},
                 {{"--refuse-off"}, true, 1, "Bob"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Args.empty() ? "" : c.Args[0]) + (c.AutoLaunch ? " autolaunch" : ""));
        TempHostRoot root;
        Start(c.Args, c.AutoLaunch, "Bob");
        for (const char* name : {"Detected", "OnLine", "Board Number", "V7 Base Init", "V7 Keyboard Init",
                                 "V7 Mouse Init"})
            EXPECT_EQ(Query(kStationKey, name), Binary({1})) << name;
        EXPECT_EQ(Query(kStationKey, "IO Handle"), Binary({0x00, 0x03, 0x00, 0x00}));
        EXPECT_EQ(Query(kBoardKey, "Detected"), Binary({1}));
        EXPECT_EQ(Query(kStationKey, "Launched"), Binary({c.Launched}));
        EXPECT_EQ(Query(kBoardKey, "Launched"), Binary({c.Launched}));
        EXPECT_EQ(Query(kStationKey, "Current User"), regtest::Value(host::kRegSz, c.User + std::string(1, '\0')));
        EXPECT_EQ(StationUser(m_device), c.Launched ? c.User : "");
        const auto events = StationLogEvents();
        ASSERT_EQ(events.size(), c.Launched ? 2u : 1u);
        EXPECT_EQ(events[0].rfind("start\t", 0), 0u) << events[0];
        if (c.Launched) {
            EXPECT_EQ(events[1], "on\tBob");
        }
        if (!c.Args.empty()) {  // asked to change, the drivers refuse and nothing changes
            const auto call = Control(c.Launched ? kOff : kOn, StationRecord("Station1", "Bob"));
            EXPECT_FALSE(call.Ok);
            EXPECT_TRUE(call.Reply.empty());
            EXPECT_EQ(StationUser(m_device), c.Launched ? c.User : "");
        }
        TearDown();
    }
}

TEST_F(StationdTest, WithoutInitZeroAndDriverVersionTakeTheirNamesInAnyCase) {
    Start({"--without", "quorel", "--without", "VFLATD", "--init-zero", "keyboard", "--init-zero", "MOUSE",
           "--driver-version", "tilvex=4.19"});
    std::vector<int> numbers, versions;
    for (auto call = Control(kFirstDriver, Bytes(80)); call.Ok; call = Control(kNextDriver, call.Reply)) {
        numbers.push_back(DeviceNumber(call.Reply));
        versions.push_back(call.Reply[8] << 8 | call.Reply[9]);
    }
    EXPECT_EQ(numbers, (std::vector<int>{0x3AE3, 0x3AE5, 0x000D}));
    EXPECT_EQ(versions, (std::vector<int>{0x021E, 0x0413, 0x021E}));  // 2.30, 4.19, 2.30
    EXPECT_EQ(Query(kStationKey, "V7 Base Init"), Binary({1}));
    EXPECT_EQ(Query(kStationKey, "V7 Keyboard Init"), Binary({0}));
    EXPECT_EQ(Query(kStationKey, "V7 Mouse Init"), Binary({0}));
}

TEST_F(StationdTest, ASecondDaemonIsRefusedAndSigtermEndsTheFirstCleanly) {
    Start();
    fs::path socket = host::emulated::DeviceSocketPath("Brakor");
    struct stat info {};
    ASSERT_EQ(stat(socket.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    DaemonExit second = RunDaemonToExit({});
    EXPECT_NE(second.ExitCode, 0);
    EXPECT_EQ(LineCount(second.Err), 1);
    EXPECT_NE(second.Err.find("already"), std::string::npos) << second.Err;
    EXPECT_TRUE(Control(kFirstStation, Bytes(68)).Ok) << "the first keeps serving";

    EXPECT_EQ(m_daemon->Stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(socket)));
    auto events = StationLogEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "stop\tSIGTERM");
}

TEST(StationdStart, AStaleSocketFileIsReplaced) {
    TempHostRoot root;
    SetUpRegistry();
    // A socket left by a daemon that was killed: bound, nobody listening.
    fs::path path = host::emulated::DeviceSocketPath("Brakor");
    fs::create_directories(path.parent_path());
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un addr = UnixAddress(path);
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    close(fd);

    RunningStationDrivers daemon;
    ASSERT_TRUE(daemon.Started());
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\Brakor");
    EXPECT_TRUE(Control(device, kFirstStation, Bytes(68)).Ok);
    host::CloseHandle(device);
}

// Under its service manager: "READY=1" comes once the device accepts
// connections, and the events reach standard error with their priority.
TEST(StationdStart, ReadyOnceTheDeviceAcceptsWithEventsOnStandardError) {
    TempHostRoot root;
    SetUpRegistry();
    const fs::path notify = root.Path() / "notify";
    int manager = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_un addr = UnixAddress(notify);
    ASSERT_EQ(bind(manager, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    timeval wait{5, 0};
    setsockopt(manager, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    std::FILE* err = std::tmpfile();
    setenv("NOTIFY_SOCKET", notify.c_str(), 1);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(err), STDERR_FILENO);
        execl(V7_STATIOND_PATH, V7_STATIOND_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }
    unsetenv("NOTIFY_SOCKET");
    char message[64] = {};
    EXPECT_GT(recv(manager, message, sizeof message - 1, 0), 0) << "no readiness";
    EXPECT_STREQ(message, "READY=1");
    EXPECT_TRUE(RawClient().Connected()) << "ready before the device accepts";
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    close(manager);
    std::rewind(err);
    std::string lines(4096, '\0');
    lines.resize(std::fread(lines.data(), 1, lines.size(), err));
    std::fclose(err);
    EXPECT_EQ(lines, "<6>start pid " + std::to_string(pid) + "\n<6>stop SIGTERM\n");
}

TEST(StationdStart, AMissingRegistryAndBadFlagsAreRefusedWithOneLine) {
    TempHostRoot root;
    DaemonExit noRegistry = RunDaemonToExit({});
    EXPECT_EQ(noRegistry.ExitCode, 6) << "a root it cannot use is not worth a restart";
    EXPECT_EQ(noRegistry.Err.rfind("<3>v7-stationd: the host root", 0), 0u) << noRegistry.Err;
    EXPECT_EQ(LineCount(noRegistry.Err), 1);
    EXPECT_NE(noRegistry.Err.find("v7-host init"), std::string::npos) << noRegistry.Err;
    // v7ctl is told too; neither leaves a bare registry in the root.
    ToolResult status = RunV7ctl({"status"});
    EXPECT_NE(status.Err.find("is not set up (run \"v7-host init\")"), std::string::npos) << status.Err;
    EXPECT_FALSE(fs::exists(host::emulated::RegistryPath()));

    // A damaged registry is named once, not once by the registry and again by the daemon.
    std::ofstream(host::emulated::RegistryPath(), std::ios::binary) << std::string(4096, 'x');
    DaemonExit damaged = RunDaemonToExit({});
    EXPECT_EQ(damaged.ExitCode, 6);
    EXPECT_EQ(damaged.Err.find("<3>", damaged.Err.find("<3>") + 1), std::string::npos) << damaged.Err;
    fs::remove(host::emulated::RegistryPath());

    SetUpRegistry();
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},           {"--slow"},                {"--slow", "fast"}, {"--slow", "-5"},
        {"--without", "Nope"}, {"--init-zero", "disk"},   {"--station-name", std::string(32, 's')},
        {"--current-user", ""}, {"--driver-version", "Nope=1.2"}, {"--driver-version", "Tilvex=256.0"},
        {"--driver-version", "Tilvex=2"}, {"--driver-version", "Tilvex=2.x"},
    };
    for (const auto& args : bad) {
        DaemonExit result = RunDaemonToExit(args);
        EXPECT_NE(result.ExitCode, 0) << args[0];
        EXPECT_EQ(LineCount(result.Err), 1) << result.Err;
    }
    EXPECT_FALSE(fs::exists(host::emulated::DeviceSocketPath("Brakor")));

    DaemonExit help = RunDaemonToExit({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    for (const char* flag :
         {"--refuse-on", "--refuse-off", "--without", "--init-zero", "--slow", "--station-name", "--current-user",
          "--driver-version"})
        EXPECT_NE(help.Out.find(flag), std::string::npos) << flag;
}
