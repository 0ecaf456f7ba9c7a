// The station test's pass against the real station drivers: which paragraphs,
// in which order, which indicators, which caption, for each fault the drivers
// and the registry can show.
#include <gtest/gtest.h>

#include "resources/StringTable.h"
#include "station/StationTest.h"
#include "unit/station/DriverTestSupport.h"

namespace {

TEST(StationTestPass, ParagraphsIndicatorsAndCaptionForEachFault) {
    struct Case {
        const char* Name;
        std::vector<std::string> DriverArgs;
        bool Drivers, StationOn;  // a daemon at all; it turns the station on at start
        std::vector<std::pair<const char*, host::BYTE>> Values;  // station values written afterwards
        std::vector<unsigned> Expected;
        const char* Ticks;  // software, connector box, keyboard, mouse, on: x ticked
    };
    const Case cases[] = {
        {"all present", {}, true, true, {}, {3007}, "xxxxx"},
        {"station off only", {}, true, false, {}, {3008}, "xxxx "},
        {"no drivers", {}, false, false, {}, {3000, 3001, 3002, 3003, 3009, 3004, 3005, 3006, 3008}, "     "},
        {"no drivers, on remembered", {}, false, false, {{"Launched", 1}}, {3000, 3001, 3002, 3003, 3009, 3004, 3005, 3006, 3008}, "     "},
        {"Brakor", {"--without", "Brakor"}, true, true, {}, {3000}, " xxxx"},
        {"Quorel", {"--without", "quorel"}, true, true, {}, {3001}, " xxxx"},
        {"Tilvex", {"--without", "Tilvex"}, true, true, {}, {3002}, " xxxx"},
        {"Dunvek", {"--without", "Dunvek"}, true, true, {}, {3003}, " xxxx"},
        {"Vflatd only: a note", {"--without", "Vflatd"}, true, true, {}, {3009}, "xxxxx"},
        {"connector box", {"--init-zero", "base"}, true, true, {}, {3004}, "x xxx"},
        {"keyboard before mouse", {"--init-zero", "mouse", "--init-zero", "keyboard", "--without", "Vflatd"}, true,
         true, {}, {3009, 3005, 3006}, "xx  x"},
        // Values another program left: 0 is a failure, any other value is not.
        {"registry values", {}, true, true, {{"V7 Mouse Init", 0}, {"V7 Keyboard Init", 2}}, {3006}, "xxx x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        StationDriversFixture fixture(c.DriverArgs, c.Drivers, c.StationOn);
        ASSERT_EQ(fixture.DriversStarted(), c.Drivers);
        for (const auto& [name, value] : c.Values)
            regtest::Store(StationConfiguration::StationKeyPath(kStationNumber), name, host::kRegBinary, {value});

        StationConfiguration config;
        const station::TestResult result = station::RunTestPass(config);
        std::string text;
        for (unsigned id : c.Expected) text += res::FindString(id);
        EXPECT_EQ(result.Text, text);
        const bool ok = c.Expected == std::vector<unsigned>{3007};
        EXPECT_EQ(result.ProblemFound, !ok);
        EXPECT_EQ(result.Caption, ok ? "Test V7 Station: OK" : "Test V7 Station: Problem?");
        std::string ticks;
        for (bool on : {result.SoftwareRunning, result.ConnectorBox, result.Keyboard, result.Mouse, result.StationOn})
            ticks += on ? 'x' : ' ';
        EXPECT_EQ(ticks, c.Ticks);
    }
}

}  // namespace
