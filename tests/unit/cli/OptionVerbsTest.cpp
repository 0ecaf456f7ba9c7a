// v7ctl's options and set verbs on a freshly installed host.
#include <gtest/gtest.h>

#include "support/InitializedHost.h"
#include "support/RegistryTestUtil.h"

namespace {

using OptionVerbsTest = InitializedHostTest;

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
          {"set", "login-name", "Bertil"}, {"set", "display", "1024 x 768, 256 colors", "--refresh", "72"}}) {
        const ToolResult result = RunV7ctl(verb);
        EXPECT_EQ(result.ExitCode, 0) << verb[1] << ": " << result.Err;
    }
    EXPECT_EQ(RunV7ctl({"options"}).Out,
              "Start-up: turn the V7 Station on when the PC starts\n"
              "Shut-down requests: allowed\n"
              "Login name: Bertil\n"
              "Display: 1024 x 768, 256 colors\n"
              "Refresh rate: 72 Hz\n");
    const std::string product = regtest::Export("HKLM\\Software\\Halvorn\\Orvane");
    for (const char* line : {"\"Station Display\"=hex:07", "\"Station Mode\"=\"1024 x 768, 256 colors\"",
                             "\"RefreshRate\"=\"72\"", "\"Shutdown Enabled\"=hex:01", "\"AutoLaunch Enabled\"=hex:01"})
        EXPECT_NE(product.find(line), std::string::npos) << line << "\n" << product;
}

TEST_F(OptionVerbsTest, ValuesTheWindowWouldNotOfferAreRefusedAndNothingChanges) {
    struct Case {
        std::vector<std::string> Verb;
        const char* ErrPart;
    };
    const Case cases[] = {
        {{"set", "autolaunch", "maybe"}, "maybe"},
        {{"set", "shutdown-requests", "yes"}, "yes"},
        {{"set", "login-name", "A-name-of-twenty-one!"}, "no more than 20 characters"},
        {{"set", "login-name", "\xC3\x85sa-" + std::string(16, 'x')}, "no more than 20"},  // 21 bytes
        {{"set", "login-name", ""}, "login name"},
        {{"set", "display", "800 x 600, 16 colors"}, "800 x 600, 256 colors; 800 x 600, High color (16-bit)"},
        {{"set", "display", "800 x 600, 256 colors", "--refresh", "72"}, "56 Hz, 60 Hz"},
        {{"set"}, "subcommand"},
    };
    const std::string before = regtest::Export();
    for (const Case& c : cases) {
        const ToolResult result = RunV7ctl(c.Verb);
        EXPECT_EQ(result.ExitCode, 2) << c.ErrPart;
        EXPECT_NE(result.Err.find(c.ErrPart), std::string::npos) << result.Err;
    }
    EXPECT_EQ(regtest::Export(), before);
}

}  // namespace
