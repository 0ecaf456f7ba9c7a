#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "unit/station/DriverTestSupport.h"

namespace {

StationRecord Request(const std::string& station, const std::string& user) {
    StationRecord record{};
    CopyRecordText(record.Name, station);
    CopyRecordText(record.UserName, user);
    return record;
}

// The text of the last message the station received, as its log shows it.
std::string LastLoggedMessage() {
    std::string last;
    for (const std::string& event : StationLogEvents())
        if (event.rfind("message\t", 0) == 0) last = event.substr(8);
    return last;
}

}  // namespace

TEST(DriverChannel, TurnsTheStationOnAndOffAndLooksUpDriversThroughTheRealDrivers) {
    StationDriversFixture drivers;
    ASSERT_TRUE(drivers.DriversStarted());
    StationRecord on = Request("Station1", "Alice");
    EXPECT_EQ(TurnStationOn(&on), 0);
    EXPECT_EQ(drivers.Repaints, 1);

    StationRecord listed{};
    ASSERT_NE(GetFirstStation(&listed), 0);
    EXPECT_EQ(RecordText(listed.UserName), "Alice");
    EXPECT_EQ(GetNextStation(&listed), 0) << "one station only";
    EXPECT_NE(TurnStationOff(&listed), 0);
    ASSERT_NE(GetFirstStation(&listed), 0);
    EXPECT_EQ(RecordText(listed.UserName), "");
    EXPECT_EQ(IsDriverLoaded(kBrakorDevice), 1);  // first in the list
    EXPECT_EQ(IsDriverLoaded(kVflatdDevice), 1);  // last in the list
    EXPECT_EQ(IsDriverLoaded(0x1234), 0);
}

TEST(DriverChannel, RefusalsKeepTheirResultConventionsAndDroppedDriversAreNotFound) {
    StationDriversFixture drivers({"--refuse-on", "--refuse-off", "--without", "BRAKOR", "--without", "vflatd"});
    ASSERT_TRUE(drivers.DriversStarted());
    StationRecord record = Request("Station1", "Alice");
    EXPECT_EQ(TurnStationOn(&record), 1);
    EXPECT_EQ(drivers.Repaints, 0);
    EXPECT_EQ(TurnStationOff(&record), 0);
    EXPECT_EQ(IsDriverLoaded(kBrakorDevice), 0);
    EXPECT_EQ(IsDriverLoaded(kVflatdDevice), 0);
    EXPECT_EQ(IsDriverLoaded(kQuorelDevice), 1);
    EXPECT_EQ(IsDriverLoaded(kDunvekDevice), 1);
}

TEST(DriverChannel, WithoutTheDriverEveryOperationFails) {
    StationDriversFixture noDrivers({}, false);
    EXPECT_EQ(noDrivers.Handle(), host::INVALID_HANDLE_VALUE);
    StationRecord station = Request("Station1", "User1");
    DriverRecord driver{};
    EXPECT_EQ(TurnStationOn(&station), 1);
    EXPECT_EQ(noDrivers.Repaints, 0);
    EXPECT_EQ(TurnStationOff(&station) || GetFirstStation(&station) || GetNextStation(&station) ||
                  GetFirstDriver(&driver) || GetNextDriver(&driver) || BroadcastMessage("hello"),
              0);
    for (std::uint16_t number : {kBrakorDevice, kQuorelDevice, kTilvexDevice, kDunvekDevice, kVflatdDevice})
        EXPECT_EQ(IsDriverLoaded(number), 0) << number;

    // Nor does the configuration's refresh from the driver change anything.
    StationConfiguration config;
    config.CurrentUser = "Someone";
    EXPECT_EQ(config.RefreshFromDriver(), 0);
    EXPECT_EQ(config.CurrentUser, "Someone");
    EXPECT_EQ(RecordText(config.LastStationRecord.Name), "");
}

TEST(DriverChannel, BroadcastAlwaysSendsATerminatedTextCutOnACharacterBoundary) {
    StationDriversFixture drivers({}, true, /*stationOnAtStart=*/true);
    ASSERT_TRUE(drivers.DriversStarted());
    const std::pair<std::string, std::string> cases[] = {
        {std::string(255, 'm'), std::string(255, 'm')},
        // 254 bytes, then a two-byte character that would take bytes 255 and 256.
        {std::string(254, 'a') + "ü" + "rest", std::string(254, 'a')},
        {"From:  Bob  Lunch?", "From:  Bob  Lunch?"},
    };
    for (const auto& [sent, logged] : cases) {
        EXPECT_NE(BroadcastMessage(sent), 0);
        EXPECT_EQ(LastLoggedMessage(), logged);
    }
}

TEST(DriverChannel, HandleIsAskedForUntilValidThenCached) {
    ResetDriverHandleCache();
    int asked = 0, token = 0;
    host::HANDLE offered = host::INVALID_HANDLE_VALUE;
    SetDriverHandleSource([&] { return ++asked, offered; });
    EXPECT_EQ(GetDriverHandle(), host::INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetDriverHandle(), host::INVALID_HANDLE_VALUE);
    offered = &token;
    EXPECT_EQ(GetDriverHandle(), &token);
    offered = host::INVALID_HANDLE_VALUE;
    EXPECT_EQ(GetDriverHandle(), &token);
    EXPECT_EQ(asked, 3);
    ResetDriverHandleCache();
    EXPECT_EQ(GetDriverHandle(), host::INVALID_HANDLE_VALUE);
    SetDriverHandleSource(nullptr);
    ResetDriverHandleCache();
    EXPECT_EQ(GetDriverHandle(), host::INVALID_HANDLE_VALUE);
}

TEST(RecordText, CutsAt31BytesWithoutSplittingACharacter) {
    StationRecord record{};
    std::memset(&record, 0x5A, sizeof record);
    CopyRecordText(record.Name, std::string(30, 'n') + "é");  // would end at byte 32
    EXPECT_EQ(std::string(record.Name), std::string(30, 'n'));
    for (std::size_t i = 30; i < sizeof record.Name; ++i) EXPECT_EQ(record.Name[i], 0) << i;
    EXPECT_EQ(record.UserName[0], 0x5A) << "the next field is untouched";
    CopyRecordText(record.UserName, std::string(40, 'u'));
    EXPECT_EQ(RecordText(record.UserName), std::string(31, 'u'));

    // A field a driver filled to the last byte: at most 31 bytes, whole characters only.
    std::memset(record.Name, 'x', sizeof record.Name);
    EXPECT_EQ(RecordText(record.Name), std::string(31, 'x'));
    std::memcpy(record.Name + 30, "\xC3\xA9", 2);
    EXPECT_EQ(RecordText(record.Name), std::string(30, 'x'));
}
