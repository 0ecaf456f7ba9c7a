#include <cstring>

#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;

TEST_F(StationdTest, TurnOnAndOffShowInTheStationListAndTheLog) {
    Start();
    auto off = Control(kFirstStation, Bytes(68, 0xEE));
    ASSERT_TRUE(off.Ok);
    ASSERT_EQ(off.Reply.size(), 68u);
    EXPECT_EQ(FieldText(off.Reply, 0), "Station1");
    EXPECT_EQ(FieldText(off.Reply, 32), "");
    EXPECT_FALSE(Control(kNextStation, off.Reply).Ok) << "one station only";

    auto request = StationRecord("Station1", "Alice");
    auto on = Control(kOn, request);
    ASSERT_TRUE(on.Ok);
    EXPECT_EQ(on.Reply, request);
    EXPECT_EQ(StationUser(m_device), "Alice");
    ASSERT_TRUE(Control(kOff, request).Ok);
    EXPECT_EQ(StationUser(m_device), "");
    auto events = StationLogEvents();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[events.size() - 2], "on\tAlice");
    EXPECT_EQ(events.back(), "off\tStation1");

    // A user filling the whole field is cut to 31 bytes, never inside a character.
    std::string accents;
    for (int i = 0; i < 16; ++i) accents += "\xC3\xA9";
    for (auto [user, kept] : {std::pair{accents, accents.substr(0, 30)}, {std::string(32, 'u'), std::string(31, 'u')}}) {
        ASSERT_TRUE(Control(kOn, StationRecord("Station1", user)).Ok);
        EXPECT_EQ(StationUser(m_device), kept);
    }
}

// Each record's number and version in catalog order: the host tool's
// DeviceListTest.ListsComeFromTheRunningDrivers.
TEST_F(StationdTest, DriverListEndsWithItsNamedLastAndGoesByTheNumberInTheBuffer) {
    Start();
    Bytes last;
    auto call = Control(kFirstDriver, Bytes(80, 0xAA));
    for (int i = 0; call.Ok && i < 64; ++i) last = call.Reply, call = Control(kNextDriver, call.Reply);
    EXPECT_FALSE(call.Ok) << "the list ends";
    ASSERT_EQ(last.size(), 80u);
    EXPECT_EQ(std::string(last.begin() + 12, last.begin() + 20), "VFLATD  ");

    // "Next" goes by the device number in the buffer, whatever else it holds.
    Bytes probe(80, 0);
    probe[6] = 0xE4;
    probe[7] = 0x3A;  // Quorel
    EXPECT_EQ(DeviceNumber(Control(kNextDriver, probe).Reply), 0x3AE5);
    probe[6] = 0x99;  // no such driver
    EXPECT_FALSE(Control(kNextDriver, probe).Ok);

    // A smaller output buffer gets the reply's first bytes and nothing beyond.
    std::uint8_t buffer[80] = {};
    host::DWORD returned = 999;
    ASSERT_TRUE(host::DeviceIoControl(m_device, kFirstDriver, buffer, 80, buffer, 8, &returned));
    EXPECT_EQ(returned, 8u);
    EXPECT_EQ(buffer[6] | buffer[7] << 8, 0x3AE3);
    EXPECT_EQ(buffer[8], 0);
}

TEST_F(StationdTest, BroadcastLogsTheTextUpToItsTerminatorOnOneLine) {
    Start({}, /*autoLaunch=*/true);
    Bytes buffer(256, 0);
    std::strcpy(reinterpret_cast<char*>(buffer.data()), "Lunch\tat one\nbring C:\\food");
    std::memcpy(buffer.data() + 100, "after the terminator", 20);
    ASSERT_TRUE(Control(kBroadcast, buffer).Ok);
    ASSERT_TRUE(Control(kBroadcast, Bytes(256, 'z')).Ok);

    auto events = StationLogEvents();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2], "message\tLunch\\tat one\\nbring C:\\\\food");
    EXPECT_EQ(events.back(), "message\t" + std::string(256, 'z'));
}

TEST_F(StationdTest, WrongSizesAndUnknownCodesFailWithoutDroppingTheConnection) {
    Start();
    const std::pair<host::DWORD, std::size_t> uses[] = {{kOn, 68},         {kFirstStation, 68}, {kFirstDriver, 80},
                                                        {kNextDriver, 80}, {kOff, 68},          {kBroadcast, 256}};
    for (auto [code, size] : uses) {
        for (std::size_t wrong : {std::size_t{0}, size - 1, size + 1}) {
            auto call = Control(code, Bytes(wrong, 0));
            EXPECT_FALSE(call.Ok) << std::hex << code << " size " << std::dec << wrong;
            EXPECT_TRUE(call.Reply.empty());
        }
    }
    EXPECT_FALSE(Control(0x220801, Bytes(68)).Ok);
    EXPECT_FALSE(Control(0, {}).Ok);
    // A failed turn-on changed nothing, and the same connection still answers.
    auto station = Control(kFirstStation, Bytes(68));
    EXPECT_TRUE(station.Ok);
    EXPECT_EQ(FieldText(station.Reply, 32), "");
}
