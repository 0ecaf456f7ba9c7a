// v7ctl test against the real station drivers: its text and its exit code.
#include <gtest/gtest.h>

#include "resources/StringTable.h"
#include "support/TempHostRoot.h"

namespace {

// What the verb prints: the caption, the five indicators, the paragraphs with
// their CR LF line ends turned into plain LF.
std::string Expected(const char* caption, const char* marks, std::initializer_list<unsigned> paragraphs) {
    static const char* const labels[] = {
        "Orvane V7 system software is running?", "V7 Station connector box initialized ok?",
        "V7 Station keyboard initialized ok?", "V7 Station mouse initialized ok?", "V7 Station is turned on?"};
    std::string out = std::string(caption) + "\n\n";
    for (int i = 0; i < 5; ++i) out += std::string(marks[i] == 'x' ? "[x] " : "[ ] ") + labels[i] + "\n";
    out += "\n";
    for (unsigned id : paragraphs)
        for (const char* p = res::FindString(id); *p; ++p)
            if (*p != '\r') out += *p;
    return out;
}

TEST(TestVerb, PrintsTheTroubleshooterAndFailsOnAProblem) {
    struct Case {
        const char* Name;
        std::vector<std::string> DriverArgs;
        bool Drivers;
        bool TurnOn;             // v7ctl on before the test
        const char* RegImport;   // station values set by hand afterwards
        int ExitCode;
        std::string Out;
    };
    const char* const kStation = "[HKEY_LOCAL_MACHINE\\Software\\Halvorn\\Orvane\\Setup\\Station1]\n";
    const Case cases[] = {
        {"healthy and on", {}, true, true, nullptr, 0, Expected("Test V7 Station: OK", "xxxxx", {3007})},
        {"off", {}, true, false, nullptr, 1, Expected("Test V7 Station: Problem?", "xxxx ", {3008})},
        {"no Vflatd", {"--without", "vflatd"}, true, true, nullptr, 1,
         Expected("Test V7 Station: Problem?", "xxxxx", {3009})},
        {"keyboard value cleared", {}, true, true, "\"V7 Keyboard Init\"=hex:00\n", 1,
         Expected("Test V7 Station: Problem?", "xx xx", {3005})},
        {"no drivers", {}, false, false, nullptr, 1,
         Expected("Test V7 Station: Problem?", " xxx ", {3000, 3001, 3002, 3003, 3009, 3008})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TempHostRoot root;
        ASSERT_EQ(RunHostTool({"init"}).ExitCode, 0);
        std::unique_ptr<RunningStationDrivers> drivers;
        if (c.Drivers) drivers = std::make_unique<RunningStationDrivers>(c.DriverArgs);
        if (c.TurnOn) ASSERT_EQ(RunV7ctl({"on"}).ExitCode, 0);
        if (c.RegImport)
            ASSERT_EQ(RunHostTool({"reg", "import", "-"}, std::string("REGEDIT4\n\n") + kStation + c.RegImport)
                          .ExitCode,
                      0);

        const ToolResult result = RunV7ctl({"test"});
        EXPECT_EQ(result.ExitCode, c.ExitCode) << result.Err;
        EXPECT_EQ(result.Out, c.Out);
        // Only a missing driver device is worth a word on stderr.
        EXPECT_EQ(result.Err.empty(), c.Drivers) << result.Err;
    }
}

}  // namespace
