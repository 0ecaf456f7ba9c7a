#include <algorithm>

#include "host/emulated/root.h"
#include "unit/stationd/StationdFixture.h"

using namespace stationd_test;

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr host::DWORD kOn = 0x220802, kFirstStation = 0x220803, kFirstDriver = 0x22080A, kNextDriver = 0x22080B,
                      kOff = 0x22080C;

std::size_t LineCount(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST_F(StationdTest, RefuseOnFailsTurnOnAndAutoLaunch) {
    Start({"--refuse-on"}, true, "Bob");
    EXPECT_EQ(ReadValue(kStationKey, "Launched").Data, Bytes{0});
    EXPECT_EQ(ReadText(kStationKey, "Current User"), "[ None ]");
    auto call = Control(kOn, StationRecord("Station1", "Bob"));
    EXPECT_FALSE(call.Ok);
    EXPECT_TRUE(call.Reply.empty());
    EXPECT_EQ(FieldText(Control(kFirstStation, Bytes(68)).Reply, 32), "");
}

TEST_F(StationdTest, RefuseOffKeepsTheStationOn) {
    Start({"--refuse-off"}, true, "Bob");
    EXPECT_FALSE(Control(kOff, StationRecord("Station1", "Bob")).Ok);
    EXPECT_EQ(FieldText(Control(kFirstStation, Bytes(68)).Reply, 32), "Bob");
}

TEST_F(StationdTest, WithoutLeavesDriversOutOfTheListInAnyCase) {
    Start({"--without", "quorel", "--without", "VFLATD"});
    std::vector<int> numbers;
    for (auto call = Control(kFirstDriver, Bytes(80)); call.Ok; call = Control(kNextDriver, call.Reply))
        numbers.push_back(call.Reply[6] | call.Reply[7] << 8);
    EXPECT_EQ(numbers, (std::vector<int>{0x3AE3, 0x3AE5, 0x000D}));
}

TEST_F(StationdTest, StationNameAndCurrentUserOverrideTheStationList) {
    Start({"--station-name", "STATION1", "--current-user", "Carol"}, true, "Bob");
    auto station = Control(kFirstStation, Bytes(68));
    EXPECT_EQ(FieldText(station.Reply, 0), "STATION1");
    EXPECT_EQ(FieldText(station.Reply, 32), "Carol");
    // The registry keeps the user the station was turned on with.
    EXPECT_EQ(ReadText(kStationKey, "Current User"), "Bob");
    ASSERT_TRUE(Control(kOff, station.Reply).Ok);
    EXPECT_EQ(FieldText(Control(kFirstStation, Bytes(68)).Reply, 32), "");
}

TEST(StationdFlags, BadFlagsAreRefusedWithOneLine) {
    TempHostRoot root;
    SetUpRegistry();
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},        {"--slow"},          {"--slow", "fast"},          {"--slow", "-5"},
        {"--without", "Nope"}, {"--init-zero", "disk"}, {"--station-name", std::string(32, 's')},
        {"--current-user", ""},
    };
    for (const auto& args : bad) {
        DaemonExit result = RunDaemonToExit(args);
        EXPECT_NE(result.ExitCode, 0) << args[0];
        EXPECT_EQ(LineCount(result.Err), 1u) << result.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(host::emulated::DeviceSocketPath("Brakor")));
}

TEST(StationdFlags, HelpNamesEverySwitch) {
    DaemonExit result = RunDaemonToExit({"--help"});
    EXPECT_EQ(result.ExitCode, 0);
    for (const char* flag : {"--refuse-on", "--refuse-off", "--without", "--init-zero", "--slow", "--station-name",
                             "--current-user"})
        EXPECT_NE(result.Out.find(flag), std::string::npos) << flag;
}
