#include <cstring>

#include "host/emulated/driver_catalog.h"
#include "unit/stationd/StationdFixture.h"

using namespace stationd_test;

namespace {

constexpr host::DWORD kOn = 0x220802, kFirstStation = 0x220803, kNextStation = 0x220804, kFirstDriver = 0x22080A,
                      kNextDriver = 0x22080B, kOff = 0x22080C, kBroadcast = 0x22080D;

std::uint16_t DeviceNumber(const std::vector<std::uint8_t>& record) {
    return static_cast<std::uint16_t>(record[6] | record[7] << 8);
}

std::vector<std::string> LogEvents() {
    std::vector<std::string> events;
    for (const auto& line : StationLogLines()) {
        auto first = line.find('\t');
        events.push_back(line.substr(first + 1));
    }
    return events;
}

}  // namespace

TEST_F(StationdTest, TurnOnAndOffChangeWhatTheStationListReports) {
    Start();
    auto off = Control(kFirstStation, std::vector<std::uint8_t>(68, 0xEE));
    ASSERT_TRUE(off.Ok);
    ASSERT_EQ(off.Reply.size(), 68u);
    EXPECT_EQ(FieldText(off.Reply, 0), "Station1");
    EXPECT_EQ(FieldText(off.Reply, 32), "");
    EXPECT_FALSE(Control(kNextStation, off.Reply).Ok);

    auto request = StationRecord("Station1", "Alice");
    auto on = Control(kOn, request);
    ASSERT_TRUE(on.Ok);
    EXPECT_EQ(on.Reply, request);
    EXPECT_EQ(FieldText(Control(kFirstStation, std::vector<std::uint8_t>(68)).Reply, 32), "Alice");

    ASSERT_TRUE(Control(kOff, request).Ok);
    EXPECT_EQ(FieldText(Control(kFirstStation, std::vector<std::uint8_t>(68)).Reply, 32), "");

    auto events = LogEvents();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[events.size() - 2], "on\tAlice");
    EXPECT_EQ(events.back(), "off\tStation1");
}

TEST_F(StationdTest, AnUnterminatedUserIsCutTo31BytesOnACharacterBoundary) {
    Start();
    // 16 two-byte letters fill the whole field; byte 31 would split the last one.
    std::string user;
    for (int i = 0; i < 16; ++i) user += "\xC3\xA9";
    ASSERT_TRUE(Control(kOn, StationRecord("Station1", user)).Ok);
    std::string reported = FieldText(Control(kFirstStation, std::vector<std::uint8_t>(68)).Reply, 32);
    EXPECT_EQ(reported, user.substr(0, 30));

    auto record = StationRecord("Station1", std::string(32, 'u'));
    ASSERT_TRUE(Control(kOn, record).Ok);
    EXPECT_EQ(FieldText(Control(kFirstStation, std::vector<std::uint8_t>(68)).Reply, 32), std::string(31, 'u'));
}

TEST_F(StationdTest, DriverListWalksTheCatalogInOrderAndEnds) {
    Start();
    auto call = Control(kFirstDriver, std::vector<std::uint8_t>(80, 0xAA));
    std::vector<std::uint8_t> last;
    for (const auto& driver : host::emulated::kDrivers) {
        ASSERT_TRUE(call.Ok) << driver.Name;
        ASSERT_EQ(call.Reply.size(), 80u);
        EXPECT_EQ(DeviceNumber(call.Reply), driver.DeviceNumber);
        EXPECT_EQ(call.Reply[8], driver.Major);
        EXPECT_EQ(call.Reply[9], driver.Minor);
        last = call.Reply;
        call = Control(kNextDriver, call.Reply);
    }
    EXPECT_FALSE(call.Ok);
    EXPECT_EQ(std::string(last.begin() + 12, last.begin() + 20), "VFLATD  ");

    // "Next" goes by the device number in the buffer, whatever else it holds.
    std::vector<std::uint8_t> probe(80, 0);
    probe[6] = 0xE4;
    probe[7] = 0x3A;  // Quorel
    EXPECT_EQ(DeviceNumber(Control(kNextDriver, probe).Reply), 0x3AE5);
    probe[6] = 0x99;  // no such driver
    EXPECT_FALSE(Control(kNextDriver, probe).Ok);
}

TEST_F(StationdTest, BroadcastLogsTheTextUpToItsTerminatorOnOneLine) {
    Start();
    std::vector<std::uint8_t> buffer(256, 0);
    std::strcpy(reinterpret_cast<char*>(buffer.data()), "Lunch\tat one\nbring C:\\food");
    std::memcpy(buffer.data() + 100, "after the terminator", 20);
    ASSERT_TRUE(Control(kBroadcast, buffer).Ok);

    std::vector<std::uint8_t> full(256, 'z');
    ASSERT_TRUE(Control(kBroadcast, full).Ok);

    auto events = LogEvents();
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
            auto call = Control(code, std::vector<std::uint8_t>(wrong, 0));
            EXPECT_FALSE(call.Ok) << std::hex << code << " size " << std::dec << wrong;
            EXPECT_TRUE(call.Reply.empty());
        }
    }
    EXPECT_FALSE(Control(0x220801, std::vector<std::uint8_t>(68)).Ok);
    EXPECT_FALSE(Control(0, {}).Ok);
    // A failed turn-on changed nothing, and the same connection still answers.
    auto station = Control(kFirstStation, std::vector<std::uint8_t>(68));
    EXPECT_TRUE(station.Ok);
    EXPECT_EQ(FieldText(station.Reply, 32), "");
}

TEST_F(StationdTest, ReplyIsCutToTheOutputBufferAndMayShareTheInputBuffer) {
    Start();
    std::uint8_t buffer[80] = {};
    host::DWORD returned = 999;
    ASSERT_TRUE(host::DeviceIoControl(m_device, kFirstDriver, buffer, 80, buffer, 8, &returned));
    EXPECT_EQ(returned, 8u);
    EXPECT_EQ(buffer[6] | buffer[7] << 8, 0x3AE3);
    EXPECT_EQ(buffer[8], 0);  // beyond the 8 bytes offered: untouched

    std::uint8_t record[68] = {};
    std::memcpy(record, "Station1", 8);
    std::memcpy(record + 32, "Dora", 4);
    ASSERT_TRUE(host::DeviceIoControl(m_device, kOn, record, 68, record, 68, &returned));
    EXPECT_EQ(returned, 68u);
    EXPECT_STREQ(reinterpret_cast<char*>(record + 32), "Dora");
}
