#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "station/StationConfiguration.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

using namespace host;
using namespace regtest;

namespace {

const std::string kBoard = StationConfiguration::BoardKeyPath(1);
const std::string kStation = StationConfiguration::StationKeyPath(1);

StationConfiguration FilledConfiguration() {
    StationConfiguration c;
    c.BoardDetected = c.BoardLaunched = c.StationLaunched = c.AutoLaunch = c.ShutdownEnabled = c.ShutdownDefault = 1;
    c.StationDetected = 2;
    c.OnLine = 3;
    c.BoardNumber = 4;
    c.StationDisplay = 9;
    c.IoHandle = 0x12345678;
    c.BoardName = "Model 7 ISA controller";
    c.CurrentUser = "Zoë";
    c.DefaultUser = "Default Person";
    c.StationName = "Front Desk";
    c.StationMode = "640 x 480, True color (24-bit)";
    c.RefreshRate = "60";
    return c;
}

// Every field a save and a load carry (the init values belong to the drivers).
auto Fields(const StationConfiguration& c) {
    return std::tuple(c.BoardDetected, c.BoardLaunched, c.BoardName, c.StationDetected, c.StationLaunched,
                      c.AutoLaunch, c.OnLine, c.IoHandle, c.BoardNumber, c.CurrentUser, c.DefaultUser, c.StationName,
                      c.StationDisplay, c.StationMode, c.RefreshRate, c.ShutdownEnabled, c.ShutdownDefault);
}

StationConfiguration Loaded() {
    StationConfiguration c;
    c.LoadConfiguration();
    return c;
}

class StationConfigurationTest : public ::testing::Test {
protected:
    TempHostRoot root;
};

}  // namespace

TEST_F(StationConfigurationTest, EmptyRegistryLoadsDefaultsAndSaveCreatesNoKey) {
    StationConfiguration c = Loaded();
    EXPECT_EQ(Fields(c), std::tuple(0u, 0u, std::string("Board not found."), 0u, 0u, 0u, 0u, DWORD{0}, 0u,
                                    std::string("[ None ]"), std::string("User1"), std::string("Station1"), 0u,
                                    std::string(), std::string(), 0u, 0u));
    EXPECT_EQ(std::tuple(c.BaseInit, c.KeyboardInit, c.MouseInit), std::tuple(0u, 0u, 0u));

    c.ShutdownEnabled = c.StationLaunched = 1;
    c.SaveConfiguration();
    EXPECT_EQ(SubKeys(""), std::vector<std::string>{});
}

TEST_F(StationConfigurationTest, SaveAndLoadKeepEveryFieldWithItsStoredTypeAndBytes) {
    for (const std::string& key : {std::string(kProductKey), kBoard, kStation}) MakeKey(key);
    StationConfiguration saved = FilledConfiguration();
    saved.SaveConfiguration();
    EXPECT_EQ(Fields(Loaded()), Fields(saved));

    const std::tuple<std::string, const char*, DWORD, std::vector<BYTE>> stored[] = {
        {kStation, "Launched", kRegBinary, {1}},
        {kStation, "IO Handle", kRegBinary, {0x78, 0x56, 0x34, 0x12}},
        {kStation, "Current User", kRegSz, Sz("Zoë")},
        {kProductKey, "AutoLaunch Enabled", kRegBinary, {1}},
        {kProductKey, "Station Display", kRegBinary, {9}},
        {kBoard, "Board Name", kRegSz, Sz(saved.BoardName)},
        {kStation + "\\Display\\DEFAULT", "Mode", kRegSz, Sz("24,640,480")},
    };
    for (const auto& [key, name, type, bytes] : stored)
        EXPECT_EQ(Query(key, name), (Stored{kErrorSuccess, type, bytes})) << name;
    // The initialisation values belong to the drivers: a save never writes them.
    EXPECT_EQ(Query(kStation, "V7 Base Init").Status, kErrorFileNotFound);
}

TEST_F(StationConfigurationTest, MissingStationKeyStopsTheStationWritesAndTheMirrorOnly) {
    MakeKey(kProductKey);
    MakeKey(kBoard);
    FilledConfiguration().SaveConfiguration();
    EXPECT_EQ(Query(kProductKey, "Shutdown Enabled").Data, std::vector<BYTE>{1});
    EXPECT_EQ(Query(kBoard, "Launched").Data, std::vector<BYTE>{1});
    EXPECT_EQ(SubKeys(std::string(kProductKey) + "\\Setup"), std::vector<std::string>{"Board1"});
}

TEST_F(StationConfigurationTest, ValuesReadOnlyWhenTheyFitTheBuffer) {
    Store(kStation, "Launched", kRegDword, {1, 0, 0, 0});    // 4 bytes where 1 is read
    Store(kStation, "OnLine", kRegSz, {7});                  // the type does not matter
    Store(kStation, "IO Handle", kRegBinary, {0x34, 0x12});  // shorter: low bytes only
    Store(kStation, "Board Number", kRegBinary, {});
    const std::string longest(259, 'a');
    StoreText(kStation, "Default User", longest);                       // 260 bytes with the terminator
    StoreText(kStation, "Station Name", std::string(260, 'b'));         // one byte too many
    StoreText(kStation, "Current User", std::string(260, 'c'), false);  // fills the buffer, no terminator
    StoreText(kBoard, "Board Name", "Rev B", false);                    // short and unterminated is fine
    StationConfiguration c = Loaded();
    EXPECT_EQ(std::tuple(c.StationLaunched, c.OnLine, c.IoHandle, c.BoardNumber), std::tuple(0u, 7u, DWORD{0x1234}, 0u));
    EXPECT_EQ(c.DefaultUser, longest);
    EXPECT_EQ(c.StationName, "Station1");
    EXPECT_EQ(c.CurrentUser, "[ None ]");
    EXPECT_EQ(c.BoardName, "Rev B");
}

TEST_F(StationConfigurationTest, OverlongStringIsWrittenCutOnACharacterBoundary) {
    MakeKey(kStation);
    StationConfiguration c;
    // 258 ASCII bytes, then a two-byte character that would end at byte 260.
    c.DefaultUser = std::string(258, 'x') + "é" + "tail";
    c.WriteStationValues(1);
    EXPECT_EQ(Query(kStation, "Default User").Data, Sz(std::string(258, 'x')));
    EXPECT_EQ(Loaded().DefaultUser, std::string(258, 'x'));
}
