// Turning the V7 Station on and off through the real station drivers, from the
// panel's buttons and the frame's handlers: what the registry, the panel, the
// menu and the drivers show afterwards, and the messages on refusal.
#include "GuiTest.h"
#include "station/DriverChannel.h"

namespace {

using namespace guitest;
using regtest::Export;  // the whole registry, to show that nothing was written

const std::string kStationKey = StationConfiguration::StationKeyPath(kStationNumber);

class PowerTest : public GuiTest {
protected:
    // What panel and menu show: "on" (Off usable, On greyed), "off" for the
    // reverse, "mixed" otherwise.
    std::string State() const {
        const bool panelOn = PanelButton(CV7View::IDC_ON)->IsEnabled();
        const bool panelOff = PanelButton(CV7View::IDC_OFF)->IsEnabled();
        const bool menuOn = IsMenuItemEnabled(m_frame, cmd::ID_STATION_ON);
        const bool menuOff = IsMenuItemEnabled(m_frame, cmd::ID_STATION_OFF);
        if (panelOn != menuOn || panelOff != menuOff || panelOn == panelOff) return "mixed";
        return panelOff ? "on" : "off";
    }
    static std::string DriversCurrentUser() {
        StationRecord record{};
        return GetFirstStation(&record) ? RecordText(record.UserName) : "(no list)";
    }
};

TEST_F(PowerTest, PanelButtonsTurnTheStationOffAndOnAndOpenHelp) {
    ASSERT_NE(Launch(/*autoLaunch=*/true), nullptr);
    ASSERT_EQ(State(), "on") << "the drivers did not turn the station on at start";

    auto before = Export();
    wxTEST_DIALOG(ClickWithMouse(PanelButton(CV7View::IDC_OFF)), ExpectMessageBox(Text(2012), wxNO));
    EXPECT_EQ(Export(), before);
    EXPECT_EQ(State(), "on");
    EXPECT_EQ(DriversCurrentUser(), "User1") << "the drivers were asked to turn the station off";

    wxTEST_DIALOG(ClickWithMouse(PanelButton(CV7View::IDC_OFF)), ExpectMessageBox(Text(2012), wxYES));
    EXPECT_EQ(LaunchedValues(), std::make_pair(0, 0));
    EXPECT_EQ(TextValue(kStationKey, "Current User"), "[ None ]");
    EXPECT_EQ(State(), "off");
    m_frame->OnStationOff();  // already off: nothing is asked

    PanelButton(CV7View::IDC_ON)->SetFocus();
    PumpEvents();
    ClickWithMouse(PanelButton(CV7View::IDC_ON));
    PumpEvents();
    EXPECT_EQ(LaunchedValues(), std::make_pair(1, 1));
    EXPECT_EQ(TextValue(kStationKey, "Current User"), "User1");
    EXPECT_EQ(DriversCurrentUser(), "User1");
    EXPECT_EQ(State(), "on");
    EXPECT_EQ(PanelButton(CV7View::IDC_ON)->CurrentPicture(), 'X');
    EXPECT_EQ(wxWindow::FindFocus(), PanelButton(CV7View::IDC_OFF)) << "the focus stayed on the greyed button";
    before = Export();
    m_frame->OnStationOn();  // already on: nothing is done or asked
    EXPECT_EQ(Export(), before);

    ClickWithMouse(PanelButton(CV7View::IDC_HELP_BUTTON));
    EXPECT_EQ(ShownHelpPage(), "dialog-103.htm");
}

TEST_F(PowerTest, TurnOnTakesTheUserTheDriversReport) {
    ASSERT_NE(Launch(false, {"--current-user", "Anna"}), nullptr);
    m_frame->OnStationOn();
    EXPECT_EQ(TextValue(kStationKey, "Current User"), "Anna");
    EXPECT_EQ(m_frame->Configuration().CurrentUser, "Anna");
}

TEST_F(PowerTest, RefusedTurnOnSaysSoAndChangesNothing) {
    ASSERT_NE(Launch(false, {"--refuse-on"}), nullptr);
    const auto before = Export();
    wxTEST_DIALOG(m_frame->OnStationOn(), ExpectMessageBox(Text(2009), wxOK));
    EXPECT_EQ(Export(), before);
    EXPECT_EQ(LaunchedValues(), std::make_pair(0, 0));
    EXPECT_EQ(State(), "off");
}

TEST_F(PowerTest, RefusedTurnOffRestoresTheStateBeforeSayingSo) {
    ASSERT_NE(Launch(true, {"--refuse-off", "--current-user", "Anna"}), nullptr);
    ASSERT_EQ(TextValue(kStationKey, "Current User"), "Anna") << "start-up did not ask the drivers who is logged in";
    auto restored = [&] {
        EXPECT_EQ(LaunchedValues(), std::make_pair(1, 1));
        EXPECT_EQ(TextValue(kStationKey, "Current User"), "Anna");
        EXPECT_EQ(State(), "on");
    };
    wxTEST_DIALOG(m_frame->OnStationOff(), ExpectMessageBox(Text(2012), wxYES),
                  ExpectMessageBox(Text(2013), wxOK, restored));
    restored();
}

}  // namespace
