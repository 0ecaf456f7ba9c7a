// v7ctl version: the about text and the four-line report, with and without the drivers.
#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "support/TempHostRoot.h"

namespace {

TEST(VersionVerbsTest, PrintsTheAboutTextAndTheReportWithOrWithoutTheDrivers) {
    InitializedHostRoot root;
    const std::string about =
        "Orvane V7 Version 1.20K\n\nCopyright \u00A9 Halvorn. All rights reserved.\n\n"
        "Running for [0-9]+ days [0-2][0-9]  hours [0-5][0-9] minutes\\.\n\n";
    // Each driver's line: whether it is loaded, then the version in its file.
    auto report = [](std::vector<const char*> loaded) {
        const char* names[] = {"Brakor", "Quorel", "Tilvex", "Dunvek"};
        std::string text;
        for (int i = 0; i < 4; ++i) text += names[i] + std::string(".vxd\t") + loaded[i] + "\t2.30.0.112 in file.\n";
        return text;
    };
    const struct {
        bool DriversRun;
        std::string Report;
        const char* Err;
    } cases[] = {
        {true, report({"2.30 is loaded", "not loaded", "2.30 is loaded", "2.13 is loaded"}), ""},
        {false, report({"not loaded", "not loaded", "not loaded", "not loaded"}),
         "v7ctl: The station drivers are not running: the device \\\\.\\Brakor cannot be opened.  Start them with "
         "\"systemctl --user start v7-stationd\""},
    };
    for (const auto& c : cases) {
        std::unique_ptr<RunningStationDrivers> drivers;
        if (c.DriversRun)
            drivers = std::make_unique<RunningStationDrivers>(
                std::vector<std::string>{"--without", "Quorel", "--driver-version", "Dunvek=2.19"});
        const ToolResult result = RunV7ctl({"version"});
        EXPECT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_TRUE(std::regex_match(result.Out, std::regex(about + c.Report))) << result.Out;
        // Nothing on stderr with the drivers; without them, the window's message.
        EXPECT_EQ(*c.Err ? result.Err.rfind(c.Err, 0) : result.Err.size(), 0u) << result.Err;
    }
    EXPECT_EQ(RunV7ctl({"version", "extra"}).ExitCode, 2);
}

TEST(CommandLine, AMissingOrUnknownVerbIsToldAsSuch) {
    const struct {
        std::vector<std::string> Args;
        const char* Err;
    } cases[] = {
        {{"bogus", "--yes"}, "v7ctl: \"bogus\" is not a verb (v7ctl --help lists them)\n"},
        {{}, "v7ctl: name a verb (v7ctl --help lists them)\n"},
        {{"--yes"}, "v7ctl: name a verb (v7ctl --help lists them)\n"},
        // A verb's own mistakes keep the parser's words.
        {{"status", "bogus"}, "The following argument was not expected: bogus\nRun with --help for more information.\n"},
        // An argument said back never carries a control character to the terminal.
        {{"bog\x1b[2Jus"}, "v7ctl: \"bog\\x1b[2Jus\" is not a verb (v7ctl --help lists them)\n"},
        {{"status", "\x1b]0;owned\x07"},
         "The following argument was not expected: \\x1b]0;owned\\x07\nRun with --help for more information.\n"},
    };
    for (const auto& c : cases) {
        const ToolResult result = RunV7ctl(c.Args);
        EXPECT_EQ(result.ExitCode, 2) << c.Err;
        EXPECT_EQ(result.Err, c.Err);
    }
    EXPECT_EQ(RunV7ctl({"--help"}).ExitCode, 0);
}

}  // namespace
