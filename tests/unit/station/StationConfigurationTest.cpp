#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/registry.h"
#include "station/StationConfiguration.h"
#include "support/TempHostRoot.h"
#include "unit/station/RegistryTestSupport.h"

using namespace host;
using namespace regtest;

namespace {

const std::string kBoard = StationConfiguration::BoardKeyPath(1);
const std::string kStation = StationConfiguration::StationKeyPath(1);

StationConfiguration FilledConfiguration() {
    StationConfiguration c;
    c.BoardDetected = 1;
    c.BoardLaunched = 1;
    c.BoardName = "Model 7 ISA controller";
    c.StationDetected = 2;
    c.StationLaunched = 1;
    c.AutoLaunch = 1;
    c.OnLine = 3;
    c.IoHandle = 0x12345678;
    c.BoardNumber = 4;
    c.CurrentUser = "Zoë";
    c.DefaultUser = "Default Person";
    c.StationName = "Front Desk";
    c.StationDisplay = 9;
    c.StationMode = "640 x 480, True color (24-bit)";
    c.RefreshRate = "60";
    c.ShutdownEnabled = 1;
    c.ShutdownDefault = 1;
    return c;
}

class StationConfigurationTest : public ::testing::Test {
protected:
    TempHostRoot root;
};

}  // namespace

TEST_F(StationConfigurationTest, EmptyRegistryLoadsDefaultsAndSaveCreatesNoKey) {
    StationConfiguration c;
    c.LoadConfiguration();
    EXPECT_EQ(c.StationName, "Station1");
    EXPECT_EQ(c.DefaultUser, "User1");
    EXPECT_EQ(c.CurrentUser, "[ None ]");
    EXPECT_EQ(c.BoardName, "Board not found.");
    EXPECT_EQ(c.StationMode, "");
    EXPECT_EQ(c.RefreshRate, "");
    for (unsigned n : {c.BoardDetected, c.BoardLaunched, c.StationDetected, c.StationLaunched, c.AutoLaunch,
                       c.OnLine, c.IoHandle, c.BoardNumber, c.BaseInit, c.KeyboardInit, c.MouseInit,
                       c.StationDisplay, c.ShutdownEnabled, c.ShutdownDefault})
        EXPECT_EQ(n, 0u);

    c.ShutdownEnabled = 1;
    c.StationLaunched = 1;
    c.SaveConfiguration();
    EXPECT_EQ(Subkeys(""), std::vector<std::string>{});
}

TEST_F(StationConfigurationTest, SaveAndLoadKeepEveryFieldWithItsStoredTypeAndBytes) {
    MakeKey(kProductKey);
    MakeKey(kBoard);
    MakeKey(kStation);
    StationConfiguration saved = FilledConfiguration();
    saved.SaveConfiguration();

    StationConfiguration loaded;
    loaded.LoadConfiguration();
    EXPECT_EQ(loaded.BoardDetected, 1u);
    EXPECT_EQ(loaded.BoardLaunched, 1u);
    EXPECT_EQ(loaded.BoardName, saved.BoardName);
    EXPECT_EQ(loaded.StationDetected, 2u);
    EXPECT_EQ(loaded.StationLaunched, 1u);
    EXPECT_EQ(loaded.AutoLaunch, 1u);
    EXPECT_EQ(loaded.OnLine, 3u);
    EXPECT_EQ(loaded.IoHandle, 0x12345678u);
    EXPECT_EQ(loaded.BoardNumber, 4u);
    EXPECT_EQ(loaded.CurrentUser, "Zoë");
    EXPECT_EQ(loaded.DefaultUser, saved.DefaultUser);
    EXPECT_EQ(loaded.StationName, saved.StationName);
    EXPECT_EQ(loaded.StationDisplay, 9u);
    EXPECT_EQ(loaded.StationMode, saved.StationMode);
    EXPECT_EQ(loaded.RefreshRate, "60");
    EXPECT_EQ(loaded.ShutdownEnabled, 1u);
    EXPECT_EQ(loaded.ShutdownDefault, 1u);

    StoredValue launched = Query(kStation, "Launched");
    EXPECT_EQ(launched.Type, REG_BINARY);
    EXPECT_EQ(launched.Bytes, std::vector<BYTE>{1});
    StoredValue io = Query(kStation, "IO Handle");
    EXPECT_EQ(io.Type, REG_BINARY);
    EXPECT_EQ(io.Bytes, (std::vector<BYTE>{0x78, 0x56, 0x34, 0x12}));
    StoredValue user = Query(kStation, "Current User");
    EXPECT_EQ(user.Type, REG_SZ);
    EXPECT_EQ(user.Bytes, Sz("Zoë"));
    StoredValue autoLaunch = Query(kProductKey, "AutoLaunch Enabled");
    EXPECT_EQ(autoLaunch.Type, REG_BINARY);
    EXPECT_EQ(autoLaunch.Bytes, std::vector<BYTE>{1});
    EXPECT_EQ(Query(kProductKey, "Station Display").Bytes, std::vector<BYTE>{9});
    EXPECT_EQ(Query(kBoard, "Board Name").Bytes, Sz(saved.BoardName));
    // The initialisation values belong to the drivers: a save never writes them.
    EXPECT_EQ(Query(kStation, "V7 Base Init").Status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query(kStation + "\\Display\\DEFAULT", "Mode").Bytes, Sz("24,640,480"));
}

TEST_F(StationConfigurationTest, MissingStationKeyStopsTheStationWritesAndTheMirrorOnly) {
    MakeKey(kProductKey);
    MakeKey(kBoard);
    StationConfiguration c = FilledConfiguration();
    c.SaveConfiguration();
    EXPECT_EQ(Query(kProductKey, "Shutdown Enabled").Bytes, std::vector<BYTE>{1});
    EXPECT_EQ(Query(kBoard, "Launched").Bytes, std::vector<BYTE>{1});
    EXPECT_FALSE(KeyExists(kStation));
}

TEST_F(StationConfigurationTest, NumbersReadOnlyWhenTheyFitTheBytesOffered) {
    Store(kStation, "Launched", REG_DWORD, {1, 0, 0, 0});  // 4 bytes where 1 is read
    Store(kStation, "OnLine", REG_SZ, {7});                 // the type does not matter
    Store(kStation, "IO Handle", REG_BINARY, {0x34, 0x12});  // shorter: low bytes only
    Store(kStation, "Board Number", REG_BINARY, {});
    StationConfiguration c;
    c.LoadConfiguration();
    EXPECT_EQ(c.StationLaunched, 0u);
    EXPECT_EQ(c.OnLine, 7u);
    EXPECT_EQ(c.IoHandle, 0x1234u);
    EXPECT_EQ(c.BoardNumber, 0u);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kStation.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(StationConfiguration::ReadDwordValue(key, "Launched"), 1u);
    EXPECT_EQ(StationConfiguration::ReadByteValue(key, "Absent"), 0u);
    RegCloseKey(key);
    EXPECT_EQ(StationConfiguration::ReadByteValue(nullptr, "Launched"), 0u);
}

TEST_F(StationConfigurationTest, StringsLongerThanTheBufferReadAsTheirDefault) {
    const std::string longest(259, 'a');
    StoreText(kStation, "Default User", longest);                     // 260 bytes with the terminator
    StoreText(kStation, "Station Name", std::string(260, 'b'));      // one byte too many
    StoreText(kStation, "Current User", std::string(260, 'c'), false);  // fills the buffer, no terminator
    StoreText(kBoard, "Board Name", "Rev B", false);                   // short and unterminated is fine
    StationConfiguration c;
    c.LoadConfiguration();
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
    StoredValue stored = Query(kStation, "Default User");
    EXPECT_EQ(stored.Bytes, Sz(std::string(258, 'x')));

    StationConfiguration loaded;
    loaded.LoadConfiguration();
    EXPECT_EQ(loaded.DefaultUser, std::string(258, 'x'));
}
