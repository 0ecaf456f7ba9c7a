#include <gtest/gtest.h>

#include "unit/station/DriverTestSupport.h"

using regtest::Query;
using regtest::Sz;

namespace {

const std::string kStation = StationConfiguration::StationKeyPath(1);

// A station the drivers turned on at start (as User1) with their switches, and
// the configuration loaded from what they wrote; a save shows as Shutdown Default.
struct StationOnAtStart {
    explicit StationOnAtStart(std::vector<std::string> args) : drivers(std::move(args), true, true) {
        config.LoadConfiguration();
        config.ShutdownDefault = 1;
    }
    bool Saved() const { return Query(kProductKey, "Shutdown Default").Data == std::vector<host::BYTE>{1}; }
    StationDriversFixture drivers;
    StationConfiguration config;
};

}  // namespace

TEST(RefreshFromDriver, MatchesTheStationInAnyCaseAndTakesAndSavesOnlyAnotherUser) {
    const struct {
        std::vector<std::string> Args;
        int Found;
        const char* Listed;  // the station name in the last record read, when found
        const char* User;    // the configuration's current user afterwards
        bool Saved;
    } cases[] = {
        {{"--station-name", "STATION1", "--current-user", "USER1"}, 1, "STATION1", "User1", false},  // same user
        {{"--current-user", "mARIA"}, 1, "Station1", "mARIA", true},
        {{"--station-name", "Station2", "--current-user", "Other"}, 0, "", "User1", false},  // not this station
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args.back());
        StationOnAtStart s(c.Args);
        ASSERT_TRUE(s.drivers.DriversStarted());
        ASSERT_EQ(s.config.CurrentUser, "User1");
        EXPECT_EQ(s.config.RefreshFromDriver(), c.Found);
        EXPECT_EQ(s.config.CurrentUser, c.User);
        if (c.Found) {
            EXPECT_EQ(RecordText(s.config.LastStationRecord.Name), c.Listed);
            EXPECT_EQ(RecordText(s.config.LastStationRecord.UserName), c.Args.back());
        }
        EXPECT_EQ(s.Saved(), c.Saved);
        EXPECT_EQ(Query(kStation, "Current User").Data, Sz(c.Saved ? c.User : "User1"));
    }
}
