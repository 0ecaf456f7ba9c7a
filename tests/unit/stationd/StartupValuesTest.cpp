#include "unit/stationd/StationdFixture.h"

using namespace stationd_test;

namespace {

using Bytes = std::vector<std::uint8_t>;

void ExpectBinary(const char* key, const char* name, Bytes expected) {
    RegValue value = ReadValue(key, name);
    ASSERT_EQ(value.Status, host::ERROR_SUCCESS) << name;
    EXPECT_EQ(value.Type, host::REG_BINARY) << name;
    EXPECT_EQ(value.Data, expected) << name;
}

std::string StationUser(host::HANDLE device) {
    return FieldText(Control(device, 0x220803, Bytes(68)).Reply, 32);
}

}  // namespace

TEST_F(StationdTest, StartWritesTheDriversValuesAndLeavesTheStationOff) {
    Start();
    ExpectBinary(kStationKey, "Detected", {1});
    ExpectBinary(kStationKey, "OnLine", {1});
    ExpectBinary(kStationKey, "IO Handle", {0x00, 0x03, 0x00, 0x00});
    ExpectBinary(kStationKey, "Board Number", {1});
    ExpectBinary(kStationKey, "V7 Base Init", {1});
    ExpectBinary(kStationKey, "V7 Keyboard Init", {1});
    ExpectBinary(kStationKey, "V7 Mouse Init", {1});
    ExpectBinary(kBoardKey, "Detected", {1});
    ExpectBinary(kStationKey, "Launched", {0});
    ExpectBinary(kBoardKey, "Launched", {0});
    RegValue user = ReadValue(kStationKey, "Current User");
    EXPECT_EQ(user.Type, host::REG_SZ);
    EXPECT_EQ(std::string(user.Data.begin(), user.Data.end()), std::string("[ None ]\0", 9));
    EXPECT_EQ(StationUser(m_device), "");
}

TEST_F(StationdTest, AutoLaunchTurnsTheStationOnWithTheDefaultUser) {
    Start({}, true, "Bob");
    ExpectBinary(kStationKey, "Launched", {1});
    ExpectBinary(kBoardKey, "Launched", {1});
    EXPECT_EQ(ReadText(kStationKey, "Current User"), "Bob");
    EXPECT_EQ(StationUser(m_device), "Bob");
    auto lines = StationLogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("\tstart\t"), std::string::npos);
    EXPECT_NE(lines[1].find("\ton\tBob"), std::string::npos);
}

TEST_F(StationdTest, InitZeroClearsOnlyTheNamedInitValues) {
    Start({"--init-zero", "keyboard", "--init-zero", "MOUSE"});
    ExpectBinary(kStationKey, "V7 Base Init", {1});
    ExpectBinary(kStationKey, "V7 Keyboard Init", {0});
    ExpectBinary(kStationKey, "V7 Mouse Init", {0});
}
