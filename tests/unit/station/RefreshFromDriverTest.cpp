#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "station/StationConfiguration.h"
#include "unit/station/DriverTestSupport.h"

using regtest::Query;
using regtest::Sz;

namespace {

const std::string kStation = StationConfiguration::StationKeyPath(1);

// A station that comes up turned on (its start-up option set) with the
// drivers' switches; the configuration loaded from what they wrote.
struct StationOnAtStart {
    explicit StationOnAtStart(std::vector<std::string> args)
        : drivers(std::move(args), true, true) {
        config.LoadConfiguration();
    }
    StationDriversFixture drivers;
    StationConfiguration config;
};

}  // namespace

TEST(RefreshFromDriver, SameUserInAnotherCaseChangesNothingAndSavesNothing) {
    StationOnAtStart s({"--station-name", "STATION1", "--current-user", "USER1"});
    ASSERT_TRUE(s.drivers.DriversStarted());
    ASSERT_EQ(s.config.CurrentUser, "User1");
    ASSERT_EQ(s.config.StationLaunched, 1u);

    s.config.ShutdownDefault = 1;  // would reach the registry only through a save
    EXPECT_EQ(s.config.RefreshFromDriver(), 1);
    EXPECT_EQ(s.config.CurrentUser, "User1");
    EXPECT_EQ(RecordText(s.config.LastStationRecord.Name), "STATION1");
    EXPECT_EQ(RecordText(s.config.LastStationRecord.UserName), "USER1");
    EXPECT_EQ(Query(kProductKey, "Shutdown Default").Status, host::ERROR_FILE_NOT_FOUND);
}

TEST(RefreshFromDriver, AnotherUserIsTakenAsTheDriverSpellsItAndSaved) {
    StationOnAtStart s({"--current-user", "mARIA"});
    ASSERT_TRUE(s.drivers.DriversStarted());
    s.config.ShutdownDefault = 1;
    EXPECT_EQ(s.config.RefreshFromDriver(), 1);
    EXPECT_EQ(s.config.CurrentUser, "mARIA");
    EXPECT_EQ(Query(kStation, "Current User").Bytes, Sz("mARIA"));
    EXPECT_EQ(Query(kProductKey, "Shutdown Default").Bytes, std::vector<host::BYTE>{1});
}

TEST(RefreshFromDriver, NoDriverOrNoMatchingStationChangesNothing) {
    {
        StationDriversFixture noDrivers({}, false);
        StationConfiguration config;
        config.LoadConfiguration();
        config.CurrentUser = "Someone";
        EXPECT_EQ(config.RefreshFromDriver(), 0);
        EXPECT_EQ(config.CurrentUser, "Someone");
        EXPECT_EQ(RecordText(config.LastStationRecord.Name), "");
    }
    {
        StationOnAtStart s({"--station-name", "Station2", "--current-user", "Other"});
        ASSERT_TRUE(s.drivers.DriversStarted());
        EXPECT_EQ(s.config.RefreshFromDriver(), 0);
        EXPECT_EQ(s.config.CurrentUser, "User1");
        EXPECT_EQ(Query(kStation, "Current User").Bytes, Sz("User1"));
    }
}
