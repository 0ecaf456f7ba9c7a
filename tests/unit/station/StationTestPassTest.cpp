// The station test's pass against the real station drivers: which paragraphs,
// in which order, which indicators, which caption, for each fault the drivers
// and the registry can show.
#include <gtest/gtest.h>

#include <array>

#include "resources/StringTable.h"
#include "station/StationTest.h"
#include "unit/station/DriverTestSupport.h"

namespace {

const std::string kStation = StationConfiguration::StationKeyPath(kStationNumber);

std::string Paragraphs(std::initializer_list<unsigned> ids) {
    std::string text;
    for (unsigned id : ids) text += res::FindString(id);
    return text;
}

struct Case {
    const char* Name;
    std::vector<std::string> DriverArgs;
    bool Drivers;    // false: no daemon at all
    bool StationOn;  // the drivers turn the station on at start
    std::vector<std::pair<const char*, host::BYTE>> Values;  // station values written after start
    std::initializer_list<unsigned> Expected;
    // software, connector box, keyboard, mouse, on
    std::array<bool, 5> Indicators;
};

TEST(StationTestPass, ParagraphsIndicatorsAndCaptionForEachFault) {
    const Case cases[] = {
        {"all present", {}, true, true, {}, {3007}, {true, true, true, true, true}},
        {"station off only", {}, true, false, {}, {3008}, {true, true, true, true, false}},
        {"no drivers", {}, false, false, {},
         {3000, 3001, 3002, 3003, 3009, 3004, 3005, 3006, 3008}, {false, false, false, false, false}},
        {"Brakor", {"--without", "Brakor"}, true, true, {}, {3000}, {false, true, true, true, true}},
        {"Quorel", {"--without", "quorel"}, true, true, {}, {3001}, {false, true, true, true, true}},
        {"Tilvex", {"--without", "Tilvex"}, true, true, {}, {3002}, {false, true, true, true, true}},
        {"Dunvek", {"--without", "Dunvek"}, true, true, {}, {3003}, {false, true, true, true, true}},
        {"Vflatd only: a note", {"--without", "Vflatd"}, true, true, {}, {3009}, {true, true, true, true, true}},
        {"connector box", {"--init-zero", "base"}, true, true, {}, {3004}, {true, false, true, true, true}},
        {"keyboard and mouse, in that order",
         {"--init-zero", "mouse", "--init-zero", "keyboard", "--without", "Dunvek", "--without", "Vflatd"},
         true, true, {}, {3003, 3009, 3005, 3006}, {false, true, false, false, true}},
        {"every paragraph", {"--without", "Vflatd", "--without", "Brakor", "--init-zero", "base",
                             "--init-zero", "mouse", "--init-zero", "keyboard", "--without", "Tilvex",
                             "--without", "Quorel", "--without", "Dunvek"},
         true, false, {}, {3000, 3001, 3002, 3003, 3009, 3004, 3005, 3006, 3008},
         {false, false, false, false, false}},
        // Values another program left: a missing one reads as 0, any nonzero one is set.
        {"values from the registry", {}, true, true, {{"V7 Mouse Init", 0}, {"V7 Keyboard Init", 2}},
         {3006}, {true, true, true, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        StationDriversFixture fixture(c.DriverArgs, c.Drivers, c.StationOn);
        ASSERT_EQ(fixture.DriversStarted(), c.Drivers);
        for (const auto& [name, value] : c.Values) regtest::Store(kStation, name, host::REG_BINARY, {value});

        StationConfiguration config;
        const station::TestResult result = station::RunTestPass(config);
        EXPECT_EQ(result.Text, Paragraphs(c.Expected));
        const bool ok = c.Expected.size() == 1 && *c.Expected.begin() == 3007;
        EXPECT_EQ(result.ProblemFound, !ok);
        EXPECT_EQ(result.Caption, ok ? "Test V7 Station: OK" : "Test V7 Station: Problem?");
        const std::array<bool, 5> shown = {result.SoftwareRunning, result.ConnectorBox, result.Keyboard,
                                           result.Mouse, result.StationOn};
        EXPECT_EQ(shown, c.Indicators);
    }
}

TEST(StationTestPass, EachPassReadsTheRegistryAndTheDriverAfresh) {
    StationDriversFixture fixture({"--current-user", "Maria"}, true, true);
    ASSERT_TRUE(fixture.DriversStarted());
    regtest::StoreText(kStation, "Current User", "Nobody");
    StationConfiguration config;
    EXPECT_EQ(station::RunTestPass(config).Text, Paragraphs({3007}));
    // The refresh took the driver's current user and saved it.
    EXPECT_EQ(regtest::Query(kStation, "Current User").Bytes, regtest::Sz("Maria"));

    regtest::Store(kStation, "Launched", host::REG_BINARY, {0});
    regtest::Store(kStation, "V7 Base Init", host::REG_BINARY, {0});
    const station::TestResult second = station::RunTestPass(config);
    EXPECT_EQ(second.Text, Paragraphs({3004, 3008}));
    EXPECT_FALSE(second.StationOn);
}

}  // namespace
