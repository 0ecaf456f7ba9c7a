#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "unit/station/DriverTestSupport.h"

namespace {

// The text of the last message the station received, as its log shows it.
std::string LastLoggedMessage() {
    std::string last;
    for (const std::string& event : StationLogEvents())
        if (event.rfind("message\t", 0) == 0) last = event.substr(8);
    return last;
}

}  // namespace

// TurnStationOn gives 0 when done, TurnStationOff non-zero: each keeps its convention.
TEST(DriverChannel, OnOffAndDriverLookUpsFollowTheDriversTheirRefusalsOrTheirAbsence) {
    const struct {
        const char* Name;
        std::vector<std::string> Args;
        bool Drivers, Turned;  // a daemon at all; it turns the station on and off
        std::vector<std::uint16_t> Loaded, NotLoaded;
    } cases[] = {
        {"running", {}, true, true, {kBrakorDevice, kVflatdDevice}, {0x1234}},  // the list's first and last
        {"refusing", {"--refuse-on", "--refuse-off", "--without", "BRAKOR", "--without", "vflatd"}, true, false,
         {kQuorelDevice, kDunvekDevice}, {kBrakorDevice, kVflatdDevice}},
        {"none", {}, false, false, {}, {kBrakorDevice, kQuorelDevice, kTilvexDevice, kDunvekDevice, kVflatdDevice}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        StationDriversFixture drivers(c.Args, c.Drivers);
        ASSERT_EQ(drivers.DriversStarted(), c.Drivers);
        EXPECT_EQ(drivers.Handle() != host::kInvalidHandle, c.Drivers);
        StationRecord record{};
        CopyRecordText(record.Name, "Station1");
        CopyRecordText(record.UserName, "Alice");
        EXPECT_EQ(TurnStationOn(&record), c.Turned ? 0 : 1);
        EXPECT_EQ(drivers.Repaints, c.Turned ? 1 : 0);
        StationRecord listed{};
        ASSERT_EQ(GetFirstStation(&listed) != 0, c.Drivers);
        if (c.Drivers) {
            EXPECT_EQ(RecordText(listed.UserName), c.Turned ? "Alice" : "");
            EXPECT_EQ(GetNextStation(&listed), 0) << "one station only";
        }
        EXPECT_EQ(TurnStationOff(&record) != 0, c.Turned);
        if (c.Turned) {
            ASSERT_NE(GetFirstStation(&listed), 0);
            EXPECT_EQ(RecordText(listed.UserName), "");
        }
        for (std::uint16_t number : c.Loaded) EXPECT_EQ(IsDriverLoaded(number), 1) << number;
        for (std::uint16_t number : c.NotLoaded) EXPECT_EQ(IsDriverLoaded(number), 0) << number;
        if (c.Drivers) continue;
        DriverRecord driver{};
        EXPECT_EQ(GetNextStation(&listed) || GetFirstDriver(&driver) || GetNextDriver(&driver) ||
                      BroadcastMessage("hello"),
                  0);
        // Nor does the configuration's refresh from the driver change anything.
        StationConfiguration config;
        config.CurrentUser = "Someone";
        EXPECT_EQ(config.RefreshFromDriver(), 0);
        EXPECT_EQ(config.CurrentUser, "Someone");
        EXPECT_EQ(RecordText(config.LastStationRecord.Name), "");
    }
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
    host::HANDLE offered = host::kInvalidHandle;
    SetDriverHandleSource([&] { return ++asked, offered; });
    EXPECT_EQ(GetDriverHandle(), host::kInvalidHandle);
    EXPECT_EQ(GetDriverHandle(), host::kInvalidHandle);
    offered = &token;
    EXPECT_EQ(GetDriverHandle(), &token);
    offered = host::kInvalidHandle;
    EXPECT_EQ(GetDriverHandle(), &token);
    EXPECT_EQ(asked, 3);
    ResetDriverHandleCache();
    EXPECT_EQ(GetDriverHandle(), host::kInvalidHandle);
    SetDriverHandleSource(nullptr);
    ResetDriverHandleCache();
    EXPECT_EQ(GetDriverHandle(), host::kInvalidHandle);
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
