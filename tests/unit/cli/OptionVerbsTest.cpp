// v7ctl's options and set verbs on a freshly installed host.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "station/StationConfiguration.h"
#include "support/InitializedHost.h"
#include "support/RegistryTestUtil.h"

namespace {

using OptionVerbsTest = InitializedHostTest;

// A display choice as v7ctl takes it, and the registry's record of it:
// "Station Display", "Station Mode", "RefreshRate" and the mirror's mode.
struct Display {
    const char* Mode;
    const char* Rate;
    std::string Stored;
};
const Display kDisplays[] = {
    {"1024 x 768, 256 colors", "72", "7|1024 x 768, 256 colors|72|8,1024,768"},
    {"640 x 480, True color (24-bit)", "60", "9|640 x 480, True color (24-bit)|60|24,640,480"},
    {"800 x 600, 256 colors", "56", "4|800 x 600, 256 colors|56|8,800,600"},
    {"800 x 600, High color (16-bit)", "60", "5|800 x 600, High color (16-bit)|60|16,800,600"},
};

std::string StoredDisplay(const StationConfiguration& c) {
    const regtest::Stored mirror = regtest::Query(StationConfiguration::StationKeyPath(1) + "\\Display\\DEFAULT", "Mode");
    return std::to_string(c.StationDisplay) + "|" + c.StationMode + "|" + c.RefreshRate + "|" +
           std::string(mirror.Data.begin(), std::find(mirror.Data.begin(), mirror.Data.end(), 0));
}

std::vector<std::string> SetDisplayVerb(const Display& d) { return {"set", "display", d.Mode, "--refresh", d.Rate}; }

TEST_F(OptionVerbsTest, SettingsShowInOptionsAndInTheRegistry) {
    ToolResult shown = RunV7ctl({"options"});
    ASSERT_EQ(shown.ExitCode, 0) << shown.Err;
    EXPECT_EQ(shown.Out,
              "Start-up: leave the V7 Station off when the PC starts\n"
              "Shut-down requests: allowed\n"
              "Login name: User1\n"
              "Display: 640 x 480, 256 colors\n"
              "Refresh rate: 60 Hz\n");

    for (const std::vector<std::string>& verb :
         {std::vector<std::string>{"set", "autolaunch", "on"}, {"set", "shutdown-requests", "stop"},
          {"set", "shutdown-requests", "allow"},
          {"set", "login-name", ""}, {"set", "login-name", "\xC3\x85sa-" + std::string(15, 'x')},
          {"set", "display", "1024 x 768, 256 colors", "--refresh", "72"}}) {
        const ToolResult result = RunV7ctl(verb);
        EXPECT_EQ(result.ExitCode, 0) << verb[1] << ": " << result.Err;
    }
    EXPECT_EQ(RunV7ctl({"options"}).Out,
              "Start-up: turn the V7 Station on when the PC starts\n"
              "Shut-down requests: allowed\n"
              "Login name: \xC3\x85sa-" + std::string(15, 'x') + "\n"
              "Display: 1024 x 768, 256 colors\n"
              "Refresh rate: 72 Hz\n");
    const std::string product = regtest::Export("HKLM\\Software\\Halvorn\\Orvane");
    for (const char* line : {"\"Station Display\"=hex:07", "\"Station Mode\"=\"1024 x 768, 256 colors\"",
                             "\"RefreshRate\"=\"72\"", "\"Shutdown Enabled\"=hex:01", "\"AutoLaunch Enabled\"=hex:01"})
        EXPECT_NE(product.find(line), std::string::npos) << line << "\n" << product;
}

// Four set verbs at once, round after round: each one's change is kept, and
// the display is the whole of one of the two choices made, never a mix.
TEST_F(OptionVerbsTest, SetVerbsRunTogetherLoseNoChangeAndNeverTearTheDisplay) {
    constexpr int kRounds = 200;
    int lost = 0, torn = 0;
    for (int round = 0; round < kRounds; ++round) {
        const bool on = round % 2 == 0;
        const std::string name = "user" + std::to_string(round);
        const Display& a = kDisplays[(round % 2) * 2];
        const Display& b = kDisplays[(round % 2) * 2 + 1];
        const std::vector<std::string> verbs[] = {
            {"set", "autolaunch", on ? "on" : "off"}, {"set", "login-name", name}, SetDisplayVerb(a), SetDisplayVerb(b)};
        std::vector<std::thread> runs;
        std::atomic<int> failed{0};
        for (const auto& verb : verbs)
            runs.emplace_back([&verb, &failed] { failed += RunV7ctl(verb).ExitCode != 0; });
        for (std::thread& run : runs) run.join();
        ASSERT_EQ(failed, 0) << "round " << round;
        StationConfiguration c;
        c.LoadConfiguration();
        lost += (c.AutoLaunch != 0) != on || c.DefaultUser != name;
        const std::string display = StoredDisplay(c);
        torn += display != a.Stored && display != b.Stored;
    }
    EXPECT_EQ(lost, 0) << "rounds that lost a change, of " << kRounds;
    EXPECT_EQ(torn, 0) << "rounds whose display is no choice made, of " << kRounds;
}

// v7ctl set display killed at any point: the display and its mirror in the
// registry are both the old choice or both the new one.
TEST_F(OptionVerbsTest, SetDisplayKilledAnywhereLeavesTheDisplayAndItsMirrorAgreeing) {
    auto start = [](const Display& d) {
        const std::vector<std::string> verb = SetDisplayVerb(d);
        return regtest::Child([&verb] {
            std::vector<char*> argv{const_cast<char*>(V7_V7CTL_PATH)};
            for (const std::string& arg : verb) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            if (const int null = open("/dev/null", O_WRONLY); null >= 0) {
                dup2(null, STDOUT_FILENO);
                dup2(null, STDERR_FILENO);
            }
            execv(V7_V7CTL_PATH, argv.data());
            return 127;
        });
    };
    // How long a whole run takes here at least: the kills fall anywhere within it.
    auto run = std::chrono::microseconds::max();
    for (int i = 0; i < 3; ++i) {
        const auto begun = std::chrono::steady_clock::now();
        ASSERT_EQ(regtest::ExitCode(start(kDisplays[0])), 0);
        run = std::min(run, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begun));
    }
    std::mt19937 random(16);
    std::uniform_int_distribution<long> delay(0, run.count());
    constexpr int kKills = 300;
    int killed = 0, disagreeing = 0;
    std::string before = kDisplays[0].Stored;
    for (int i = 0; i < kKills; ++i) {
        const Display& next = kDisplays[(i + 1) % 4];
        const pid_t pid = start(next);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(pid, SIGKILL);
        killed += regtest::ExitCode(pid) == 128 + SIGKILL;
        StationConfiguration c;
        c.LoadConfiguration();
        const std::string now = StoredDisplay(c);
        disagreeing += now != before && now != next.Stored;
        before = now;
    }
    RecordProperty("kills", killed);
    EXPECT_EQ(disagreeing, 0) << "of " << killed << " kills";
    EXPECT_GT(killed, kKills / 2) << "the kills came too late to mean anything";
}

}  // namespace
