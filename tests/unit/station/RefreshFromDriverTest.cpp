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

TEST(RefreshFromDriver, MatchesTheStationInAnyCaseAndSavesOnlyAnotherUser) {
    {
        StationOnAtStart s({"--station-name", "STATION1", "--current-user", "USER1"});
        ASSERT_TRUE(s.drivers.DriversStarted());
        ASSERT_EQ(s.config.CurrentUser, "User1");
        EXPECT_EQ(s.config.RefreshFromDriver(), 1);
        EXPECT_EQ(s.config.CurrentUser, "User1") << "the same user in another case";
        EXPECT_EQ(RecordText(s.config.LastStationRecord.Name), "STATION1");
        EXPECT_EQ(RecordText(s.config.LastStationRecord.UserName), "USER1");
        EXPECT_FALSE(s.Saved());
    }
    {
        StationOnAtStart s({"--current-user", "mARIA"});
        ASSERT_TRUE(s.drivers.DriversStarted());
        EXPECT_EQ(s.config.RefreshFromDriver(), 1);
        EXPECT_EQ(s.config.CurrentUser, "mARIA");
        EXPECT_EQ(Query(kStation, "Current User").Data, Sz("mARIA"));
        EXPECT_TRUE(s.Saved());
    }
}

TEST(RefreshFromDriver, NoMatchingStationChangesNothing) {
    StationOnAtStart s({"--station-name", "Station2", "--current-user", "Other"});
    ASSERT_TRUE(s.drivers.DriversStarted());
    EXPECT_EQ(s.config.RefreshFromDriver(), 0);
    EXPECT_EQ(s.config.CurrentUser, "User1");
    EXPECT_FALSE(s.Saved());
}
