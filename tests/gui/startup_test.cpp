// Start-up and exit of the control center: the driver message before the
// window, the title, a damaged registry, the message routine, and the three
// ways out.
#include <fstream>
#include <iterator>

#include <wx/menu.h>

#include "GuiTest.h"
#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "app/V7App.h"
#include "host/emulated/root.h"
#include "resources/StringTable.h"
#include "station/DriverChannel.h"

namespace {

using namespace guitest;

class StartupTest : public GuiTest {};

TEST_F(StartupTest, WithoutDriversTheMessageComesBeforeTheWindowThenTheProgramRuns) {
    InstallStation();
    CMainFrame* frame = nullptr;
    wxTEST_DIALOG(frame = StartProgram(),
                  ExpectMessageBox(Text(2011), wxOK, [] {
                      EXPECT_EQ(FindMainFrame(), nullptr) << "main window exists while the driver message is up";
                  }).Describe("driver missing"));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(frame->GetTitle().utf8_string(), "Orvane V7 Control Center");
    EXPECT_EQ(wxGetApp().m_hDriver, host::INVALID_HANDLE_VALUE);
    // The frame keeps a fixed size: no sizing border, no maximise box.
    EXPECT_FALSE(frame->HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(frame->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_TRUE(frame->HasFlag(wxMINIMIZE_BOX));
}

TEST_F(StartupTest, WithDriversNoMessageAndTheHandleIsGoneAfterExit) {
    InstallStation();
    StartDrivers();
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetTitle().utf8_string(), "Orvane V7 Control Center");
    ASSERT_NE(wxGetApp().m_hDriver, host::INVALID_HANDLE_VALUE);
    StationRecord record{};
    EXPECT_NE(GetFirstStation(&record), 0) << "the channel does not reach the drivers";

    EndProgram();
    // The channel must not keep using the closed handle.
    EXPECT_EQ(wxGetApp().m_hDriver, host::INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetDriverHandle(), host::INVALID_HANDLE_VALUE);
    EXPECT_EQ(TurnStationOn(&record), 1);
}

TEST_F(StartupTest, DamagedRegistryIsReportedOnceAndLeftAsItIs) {
    const std::string garbage(8192, 'x');
    std::ofstream(host::emulated::RegistryPath(), std::ios::binary) << garbage;
    CMainFrame* frame = nullptr;
    wxTEST_DIALOG(frame = StartProgram(),
                  ExpectMessageBox(Text(2011), wxOK).Describe("driver missing"),
                  ExpectMessageBox::Containing("registry", wxOK).Describe("registry problem"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Configuration().StationLaunched, 0u);
    std::ifstream in(host::emulated::RegistryPath(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}

TEST_F(StartupTest, ShowMessageUsesTheStringTableOrSaysWhichEntryIsMissing) {
    ASSERT_EQ(res::FindString(4242), nullptr);
    wxTEST_DIALOG(wxGetApp().ShowMessage(4242), ExpectMessageBox("Fail to load resource 4242 !", wxOK));
    wxTEST_DIALOG(wxGetApp().ShowMessage(2009),
                  ExpectMessageBox("Did not turn on the V7 station successfully.", wxOK));
}

// The three ways out end the program the same way, with no question asked.
enum class Way { ExitCommand, CtrlX, CloseBox };

class ExitTest : public GuiTest, public ::testing::WithParamInterface<Way> {};

TEST_P(ExitTest, ClosesTheMainWindowWithoutConfirmation) {
    InstallStation();
    StartDrivers();
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    wxWeakRef<CMainFrame> alive(frame);

    switch (GetParam()) {
    case Way::ExitCommand:
        ASSERT_TRUE(PickMenuCommand(frame, cmd::ID_EXIT));
        EXPECT_TRUE(alive) << "Exit must return before the window closes";
        break;
    case Way::CtrlX: {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = 'X';
        key.SetControlDown(true);
        const int id = frame->GetAcceleratorTable()->GetCommand(key);
        ASSERT_EQ(cmd::ToSystemCommand(id), cmd::ID_APP_EXIT);
        wxCommandEvent command(wxEVT_MENU, id);
        frame->GetEventHandler()->ProcessEvent(command);
        break;
    }
    case Way::CloseBox:
        frame->Close();
        break;
    }
    EXPECT_TRUE(PumpUntil([&] { return !alive; }, 5)) << "the main window did not close";
    EXPECT_TRUE(wxTopLevelWindows.empty());
}

std::string WayName(const ::testing::TestParamInfo<Way>& way) {
    switch (way.param) {
    case Way::ExitCommand: return "ExitCommand";
    case Way::CtrlX: return "CtrlX";
    default: return "CloseBox";
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, ExitTest, ::testing::Values(Way::ExitCommand, Way::CtrlX, Way::CloseBox), WayName);

}  // namespace
