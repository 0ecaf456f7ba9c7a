// What the options dialog opens with and stores, and the four option commands'
// registry writes.
#include <gtest/gtest.h>

#include <string>

#include "options/OptionCommands.h"
#include "options/StationOptions.h"
#include "station/StationConfiguration.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

using regtest::Binary;
using regtest::Query;

namespace {

const std::string kStation = StationConfiguration::StationKeyPath(1);
const std::string kBoard = StationConfiguration::BoardKeyPath(1);

TEST(StationOptions, OpensAtThePositionColourAndRateTheStoredValuesName) {
    struct Case {
        int Mode;
        const char* Rate;
        int Position;
        const char* Colors;
        const char* Shown;
    };
    const Case cases[] = {
        {0, "", 0, "16 colors", "60 Hz"},                  // nothing stored
        {10, "", 0, "True color (24-bit)", "60 Hz"},       // above 9: no colour, the last
        {9, "", 0, "True color (24-bit)", "60 Hz"},
        {7, "", 2, "256 colors", "60 Hz"},
        {3, "", 1, "High color (16-bit)", "60 Hz"},         // not in the table; 16 colours not offered
        {0, "72", 0, "16 colors", "60 Hz"},                 // 72 Hz not offered at 640 x 480
        {7, "72", 2, "256 colors", "72 Hz"},
        {7, "44", 2, "256 colors", "44 Hz (interlaced)"},
        {4, "56", 1, "256 colors", "56 Hz"},
    };
    for (const Case& c : cases) {
        options::StationOptions values;
        values.DisplayMode = c.Mode;
        values.RefreshRate = c.Rate;
        const options::DisplayChoice shown = options::OpeningChoice(values);
        EXPECT_EQ(shown.Position, c.Position) << c.Mode << " " << c.Rate;
        EXPECT_EQ(shown.Colors, c.Colors) << c.Mode << " " << c.Rate;
        EXPECT_EQ(shown.RefreshRate, c.Shown) << c.Mode << " " << c.Rate;
    }
}

TEST(StationOptions, DisplayChoicesAreOnlyWhatTheDialogOffers) {
    struct Case {
        const char* Mode;
        const char* Rate;
        const char* StoredRate;  // before the choice
        int Number;              // -1: refused
        const char* Stored;      // the rate stored
        const char* ErrorPart;
    };
    const Case cases[] = {
        {"800 x 600, High color (16-bit)", "56", "60", 5, "56", ""},
        {"800 x 600, high COLOR (16-bit)", "56 Hz", "", 5, "56", ""},
        {"1024 x 768, 256 colors", "", "72", 7, "72", ""},      // the stored rate stays when offered
        {"640 x 480, True color (24-bit)", "", "72", 9, "60", ""},  // otherwise the list's last
        {"1024 x 768, 256 colors", "", "56", 7, "76", ""},
        {"1024 x 768, 256 colors", "", "", 7, "60", ""},          // nothing stored reads as 60 Hz
        {"800 x 600, 16 colors", "", "", -1, "", "800 x 600, 256 colors; 800 x 600, High color (16-bit)"},
        {"640 x 480, 256 colors", "72", "", -1, "", "choose one of: 60 Hz"},
        {"800 x 600, 256 colors", "6", "", -1, "", "56 Hz, 60 Hz"},
    };
    for (const Case& c : cases) {
        options::StationOptions values;
        values.RefreshRate = c.StoredRate;
        std::string error;
        const bool taken = options::ChooseDisplay(values, c.Mode, c.Rate, error);
        EXPECT_EQ(taken, c.Number >= 0) << c.Mode << " " << c.Rate;
        if (taken) {
            EXPECT_EQ(values.DisplayMode, c.Number) << c.Mode;
            EXPECT_EQ(values.RefreshRate, c.Stored) << c.Mode;
            EXPECT_EQ(DisplayModeTable::FindByNumber(c.Number).Name, values.ModeName);
        } else {
            EXPECT_NE(error.find(c.ErrorPart), std::string::npos) << error;
            EXPECT_EQ(values.RefreshRate, c.StoredRate);
        }
    }
}

// Values another program stored since the last load survive every command
// and the options dialog's OK: each writes only what it changed.
TEST(OptionStore, CommandsAndTheDialogWriteOnlyWhatTheyChange) {
    TempHostRoot root;
    for (const std::string& path : {std::string(kProductKey), kBoard, kStation}) regtest::MakeKey(path);
    StationConfiguration config;
    options::SetAutoLaunch(config, true);
    EXPECT_EQ(Query(kStation, "AutoLaunch"), Binary({1}));
    EXPECT_EQ(Query(kProductKey, "AutoLaunch Enabled"), Binary({1}));
    EXPECT_EQ(Query(kBoard, "Launched").Status, host::kErrorFileNotFound) << "a value left as it was is written";

    regtest::Store(kProductKey, "Shutdown Enabled", host::kRegBinary, {1});
    regtest::Store(kProductKey, "Shutdown Default", host::kRegBinary, {1});
    regtest::Store(kStation, "Launched", host::kRegBinary, {1});  // the drivers turned it on
    options::SetShutdownRequests(config, false);
    EXPECT_EQ(Query(kProductKey, "Shutdown Enabled"), Binary({0}));
    EXPECT_EQ(Query(kProductKey, "Shutdown Default"), Binary({0}));
    options::SetShutdownRequests(config, true);
    EXPECT_EQ(Query(kProductKey, "Shutdown Enabled"), Binary({1}));
    EXPECT_EQ(Query(kProductKey, "Shutdown Default"), Binary({1}));

    // The dialog is open while v7ctl turns start-up off and the menu reloads;
    // OK then changes the login name only.
    const options::StationOptions opened = options::LoadStationOptions(config);
    StationConfiguration other;
    options::SetAutoLaunch(other, false);
    config.LoadConfiguration();
    options::StationOptions changed = opened;
    changed.DefaultUser = "Bertil";
    options::SaveStationOptions(config, changed, opened);
    EXPECT_EQ(Query(kStation, "Default User").Data, regtest::Sz("Bertil"));
    EXPECT_EQ(Query(kStation, "AutoLaunch"), Binary({0})) << "the dialog's stale copy came back";
    EXPECT_EQ(Query(kProductKey, "AutoLaunch Enabled"), Binary({0}));
    EXPECT_EQ(Query(kStation, "Launched"), Binary({1})) << "a stale copy overwrote the drivers' value";
}

}  // namespace
