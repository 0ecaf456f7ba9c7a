// v7ctl test against the real station drivers: its text and its exit code (which
// fault shows which paragraph: StationTestPassTest).
#include <gtest/gtest.h>

#include <map>

#include "resources/StringTable.h"
#include "station/StationConfiguration.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

namespace {

// The paragraphs that send their reader to the window or to System.ini, as
// the command line words them.
const std::map<unsigned, const char*> kCommandLineParagraphs = {
    {3000,
     "[ Brakor.vxd is not loaded ]\n"
     "    The station drivers are not running, or Brakor.vxd,\n"
     "    the main one, is not among them. Start them with\n"
     "    \"systemctl --user start v7-stationd\" (a system-wide\n"
     "    host: \"systemctl start v7-stationd\" as root) and\n"
     "    run \"v7ctl test\" again.\n\n"},
    {3008,
     "[ V7 Station is not turned on ]\n"
     "    The V7 Station is not working because it has not been\n"
     "    turned on.  Turn it on with \"v7ctl on\".\n\n"},
};

TEST(TestVerb, PrintsCaptionChecksAndTroubleshooterAndFailsOnAProblem) {
    struct Case {
        const char* Name;
        bool Drivers;               // a daemon at all, and v7ctl on before the test
        const char* ClearedValue;   // a station value set to 0 afterwards
        const char* Ticks;          // the five checks, x for passed
        std::vector<unsigned> Paragraphs;
    };
    const Case cases[] = {
        {"healthy and on", true, nullptr, "xxxxx", {3007}},
        {"keyboard value cleared", true, "V7 Keyboard Init", "xx xx", {3005}},
        {"no drivers", false, nullptr, " xxx ", {3000, 3001, 3002, 3003, 3009, 3008}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        InitializedHostRoot root;
        std::unique_ptr<RunningStationDrivers> drivers;
        if (c.Drivers) {
            drivers = std::make_unique<RunningStationDrivers>();
            ASSERT_EQ(RunV7ctl({"on"}).ExitCode, 0);
        }
        if (c.ClearedValue) regtest::Store(StationConfiguration::StationKeyPath(1), c.ClearedValue, host::REG_BINARY, {0});

        const ToolResult result = RunV7ctl({"test"});
        const bool ok = c.Paragraphs == std::vector<unsigned>{3007};
        EXPECT_EQ(result.ExitCode, ok ? 0 : 1) << result.Err;
        // The caption, the checks as the dialog labels them, the paragraphs with LF line ends.
        std::string expected = ok ? "Test V7 Station: OK\n\n" : "Test V7 Station: Problem?\n\n";
        const char* labels[] = {"Orvane V7 system software is running?", "V7 Station connector box initialized ok?",
                                "V7 Station keyboard initialized ok?", "V7 Station mouse initialized ok?",
                                "V7 Station is turned on?"};
        for (int i = 0; i < 5; ++i) expected += std::string(c.Ticks[i] == 'x' ? "[x] " : "[ ] ") + labels[i] + "\n";
        expected += "\n";
        for (unsigned id : c.Paragraphs) {
            const auto own = kCommandLineParagraphs.find(id);
            for (const char* p = own != kCommandLineParagraphs.end() ? own->second : res::FindString(id); *p; ++p)
                if (*p != '\r') expected += *p;
        }
        EXPECT_EQ(result.Out, expected);
        EXPECT_EQ(result.Err.empty(), c.Drivers) << "only a missing driver device is worth a word: " << result.Err;
    }
}

}  // namespace
