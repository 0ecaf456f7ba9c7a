// Turning the V7 Station on and off through the real station drivers: what the
// registry, the panel, the menu and the drivers show afterwards, and the
// messages on refusal.
#include "GuiTest.h"
#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "panel/PictureButton.h"
#include "panel/V7View.h"
#include "station/DriverChannel.h"
#include "station/StationConfiguration.h"

namespace {

using namespace guitest;

const std::string kStationKey = StationConfiguration::StationKeyPath(kStationNumber);

class PowerTest : public GuiTest {
protected:
    // "on" when the panel shows the station on (Off enabled, On disabled),
    // "off" for the reverse, "mixed" otherwise.
    static std::string PanelState(CMainFrame* frame) {
        const bool on = frame->GetActiveView()->Button(CV7View::IDC_ON)->IsEnabled();
        const bool off = frame->GetActiveView()->Button(CV7View::IDC_OFF)->IsEnabled();
        return on == off ? "mixed" : (off ? "on" : "off");
    }
    // The current user the drivers' station list reports for the station.
    static std::string DriversCurrentUser() {
        StationRecord record{};
        return GetFirstStation(&record) ? RecordText(record.UserName) : "(no list)";
    }
    // Every value of the station key, to show that nothing was written.
    static std::vector<std::string> StationValues() {
        std::vector<std::string> values;
        for (const char* name : {"Launched", "Current User", "Default User", "Station Name"}) {
            auto data = RawValue(kStationKey, name);
            values.push_back(data ? std::string(data->begin(), data->end()) : "(missing)");
        }
        return values;
    }
};

TEST_F(PowerTest, TurnOnRecordsTheStationOnWithTheDefaultUser) {
    InstallStation();
    StartDrivers();
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(PanelState(frame), "off");

    ASSERT_TRUE(PickMenuCommand(frame, cmd::ID_STATION_ON));
    EXPECT_EQ(LaunchedValues(), std::make_pair(1, 1));
    EXPECT_EQ(TextValue(kStationKey, "Current User"), "User1");
    EXPECT_EQ(PanelState(frame), "on");
    EXPECT_EQ(DriversCurrentUser(), "User1");

    // Already on: the panel's On path does nothing and asks nothing.
    const auto before = StationValues();
    frame->OnStationOn();
    EXPECT_EQ(StationValues(), before);
}

TEST_F(PowerTest, TurnOnTakesTheUserTheDriversReport) {
    InstallStation();
    StartDrivers({"--current-user", "Anna"});
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    frame->OnStationOn();
    EXPECT_EQ(TextValue(kStationKey, "Current User"), "Anna");
    EXPECT_EQ(frame->Configuration().CurrentUser, "Anna");
}

TEST_F(PowerTest, RefusedTurnOnSaysSoAndChangesNothing) {
    InstallStation();
    StartDrivers({"--refuse-on"});
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    const auto before = StationValues();

    wxTEST_DIALOG(frame->OnStationOn(), ExpectMessageBox(Text(2009), wxOK));
    EXPECT_EQ(StationValues(), before);
    EXPECT_EQ(LaunchedValues(), std::make_pair(0, 0));
    EXPECT_EQ(PanelState(frame), "off");
    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_ON));
}

TEST_F(PowerTest, TurnOffAnsweredYesRecordsTheStationOff) {
    InstallStation(/*autoLaunch=*/true);
    StartDrivers();
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    // Started with the station on: only Turn Off makes sense.
    ASSERT_EQ(PanelState(frame), "on");
    EXPECT_FALSE(IsMenuItemEnabled(frame, cmd::ID_STATION_ON));

    wxTEST_DIALOG(ASSERT_TRUE(PickMenuCommand(frame, cmd::ID_STATION_OFF)),
                  ExpectMessageBox(Text(2012), wxYES).Describe("confirm turn off"));
    EXPECT_EQ(LaunchedValues(), std::make_pair(0, 0));
    EXPECT_EQ(TextValue(kStationKey, "Current User"), "[ None ]");
    EXPECT_EQ(PanelState(frame), "off");
    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_ON));
    EXPECT_FALSE(IsMenuItemEnabled(frame, cmd::ID_STATION_OFF));

    // Already off: nothing is asked.
    frame->OnStationOff();
}

TEST_F(PowerTest, TurnOffAnsweredNoWritesNothingAndLeavesTheStationOn) {
    InstallStation(/*autoLaunch=*/true);
    StartDrivers();
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    const auto before = StationValues();

    wxTEST_DIALOG(frame->OnStationOff(), ExpectMessageBox(Text(2012), wxNO));
    EXPECT_EQ(StationValues(), before);
    EXPECT_EQ(PanelState(frame), "on");
    EXPECT_EQ(DriversCurrentUser(), "User1") << "the drivers were asked to turn the station off";
}

TEST_F(PowerTest, RefusedTurnOffRestoresTheStateBeforeSayingSo) {
    InstallStation(/*autoLaunch=*/true);
    StartDrivers({"--refuse-off", "--current-user", "Anna"});
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(TextValue(kStationKey, "Current User"), "Anna");

    auto restored = [&] {
        EXPECT_EQ(LaunchedValues(), std::make_pair(1, 1));
        EXPECT_EQ(TextValue(kStationKey, "Current User"), "Anna");
        EXPECT_EQ(PanelState(frame), "on");
    };
    wxTEST_DIALOG(frame->OnStationOff(), ExpectMessageBox(Text(2012), wxYES).Describe("confirm turn off"),
                  ExpectMessageBox(Text(2013), wxOK, restored).Describe("turn off failed"));
    restored();
    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_OFF));
    EXPECT_FALSE(IsMenuItemEnabled(frame, cmd::ID_STATION_ON));
}

TEST_F(PowerTest, WithoutDriversTurnOffPutsTheRecordedStateBack) {
    InstallStation();
    // Recorded as on, but the drivers are gone.
    StationConfiguration config;
    config.LoadConfiguration();
    config.StationLaunched = config.BoardLaunched = 1;
    config.CurrentUser = "Bertil";
    config.SaveConfiguration();

    CMainFrame* frame = nullptr;
    wxTEST_DIALOG(frame = StartProgram(), ExpectMessageBox(Text(2011), wxOK));
    ASSERT_NE(frame, nullptr);
    wxTEST_DIALOG(frame->OnStationOff(), ExpectMessageBox(Text(2012), wxYES),
                  ExpectMessageBox(Text(2013), wxOK));
    EXPECT_EQ(LaunchedValues(), std::make_pair(1, 1));
    EXPECT_EQ(TextValue(kStationKey, "Current User"), "Bertil");

    // Turning on without drivers fails the same way.
    frame->Configuration().StationLaunched = 0;
    StationConfiguration off;
    off.LoadConfiguration();
    off.StationLaunched = off.BoardLaunched = 0;
    off.SaveConfiguration();
    wxTEST_DIALOG(frame->OnStationOn(), ExpectMessageBox(Text(2009), wxOK));
    EXPECT_EQ(LaunchedValues(), std::make_pair(0, 0));
}

}  // namespace
