// The control center's window on Windows, driven in process as the Linux GUI
// tests drive it, against the stand-in station driver and the Wine prefix's
// registry; and the program itself started as a second copy.
#include <cstdlib>
#include <string>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/msw/wrapwin.h>
#include <wx/process.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "GuiTest.h"
#include "host/win32/standin/standin_control.h"
#include "station/DriverChannel.h"
#include "users/Broadcast.h"

namespace {

using namespace guitest;

const std::string kStationKey = StationConfiguration::StationKeyPath(kStationNumber);

// The window in front, over the main window, as the screen shows it: saved as
// NAME.png in the folder V7_SHOTS_DIR names, when it names one.
void Shoot(wxWindow* front, const char* name) {
    const char* folder = std::getenv("V7_SHOTS_DIR");
    if (!folder) return;
    front->Raise();
    PumpUntil([&] { return front->IsShownOnScreen(); }, 5);
    for (int i = 0; i < 20; ++i) {  // Wine maps and paints after the calls return
        PumpEvents();
        wxMilliSleep(15);
    }
    wxRect area = front->GetScreenRect();
    if (CMainFrame* frame = FindMainFrame()) area.Union(frame->GetScreenRect());
    wxBitmap shot(area.GetSize(), 24);
    {
        wxMemoryDC memory(shot);
        wxScreenDC screen;
        memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    }
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    EXPECT_TRUE(shot.SaveFile(wxString::FromUTF8(folder) + "/" + name + ".png", wxBITMAP_TYPE_PNG)) << name;
}

// The stand-in's station: who is logged in at it, "" while it is off.
std::string StandInUser() {
    StationRecord record{};
    return GetFirstStation(&record) ? RecordText(record.UserName) : "(no station list)";
}

std::string MenuTitles(CMainFrame* frame) {
    std::string titles;
    for (size_t i = 0; i < frame->GetMenuBar()->GetMenuCount(); ++i)
        titles += frame->GetMenuBar()->GetMenuLabelText(i).utf8_string() + " ";
    return titles;
}

using WindowTest = GuiTest;

// With the driver running and stopped: the window and its menu, the report
// before it when the driver is missing, and On usable only with a driver.
TEST_F(WindowTest, OpensWithItsTitleAndMenuAndReportsAMissingDriverFirst) {
    for (bool running : {true, false}) {
        SCOPED_TRACE(running ? "driver running" : "driver stopped");
        InstallStation();
        StartDrivers();
        if (running) {
            m_frame = StartProgram();
        } else {
            ASSERT_EQ(m_drivers->Stop(), 0);
            wxTEST_DIALOG(m_frame = StartProgram(), ExpectMessageBox(Text(2011), wxOK));
        }
        ASSERT_NE(m_frame, nullptr);
        EXPECT_TRUE(m_frame->IsShown());
        EXPECT_EQ(m_frame->GetTitle().utf8_string(), "Orvane V7 Control Center");
        EXPECT_EQ(MenuTitles(m_frame), "File Users Station Messages Options Help ");
        EXPECT_EQ(PanelButton(CV7View::IDC_ON)->IsEnabled(), running);
        if (running) Shoot(m_frame, "main-window");
        EndProgram();
    }
}

// On, Test, Send a message, Options and Off, each through the window, each
// seen where it lands: the driver's station, its last message, the registry.
TEST_F(WindowTest, TurnsTheStationOnTestsItSendsAMessageAndTurnsItOff) {
    ASSERT_NE(Launch(), nullptr);
    ClickWithMouse(PanelButton(CV7View::IDC_ON));
    PumpEvents();
    EXPECT_EQ(LaunchedValues(), std::make_pair(1, 1));
    EXPECT_EQ(TextValue(kStationKey, "Current User"), "User1");
    EXPECT_EQ(StandInUser(), "User1");
    EXPECT_FALSE(PanelButton(CV7View::IDC_ON)->IsEnabled());

    std::vector<std::string> shown;  // each dialog's title as it showed
    auto show = [&](std::function<void(wxDialog*)> act) {
        m_guard->RunModal = [&shown, act](wxDialog* dialog) {
            shown.push_back(dialog->GetTitle().utf8_string());
            act(dialog);
        };
    };
    show([](wxDialog* dialog) {
        Shoot(dialog, "test");
        dialog->EndModal(wxID_CANCEL);
    });
    ClickWithMouse(PanelButton(CV7View::IDC_TEST));
    show([](wxDialog* dialog) {
        FindControl<wxTextCtrl>(dialog, 1005)->SetValue("Lunch at one?");
        Shoot(dialog, "send-message");
        PressButton(dialog, wxID_OK);
    });
    ASSERT_TRUE(PickMenuCommand(m_frame, cmd::ID_SEND_MESSAGE));
    show([](wxDialog* dialog) {
        Shoot(dialog, "options");
        dialog->EndModal(wxID_CANCEL);
    });
    ASSERT_TRUE(PickMenuCommand(m_frame, cmd::ID_STATION_OPTIONS));
    m_guard->RunModal = nullptr;
    EXPECT_EQ(shown, (std::vector<std::string>{"Test V7 Station: OK", "Send a message", "V7 Station Options"}));
    std::string message = "(none)";
    EXPECT_TRUE(standin::LastMessage(&message));
    EXPECT_EQ(message, "From:  " + users::SenderName() + "\n\nLunch at one?");

    wxTEST_DIALOG(ClickWithMouse(PanelButton(CV7View::IDC_OFF)), ExpectMessageBox(Text(2012), wxYES));
    EXPECT_EQ(LaunchedValues(), std::make_pair(0, 0));
    EXPECT_EQ(TextValue(kStationKey, "Current User"), "[ None ]");
    EXPECT_EQ(StandInUser(), "");
    EXPECT_TRUE(PanelButton(CV7View::IDC_ON)->IsEnabled());
}

// A second start hands over to the running copy, minimised, with nothing or
// the Test dialog open: it ends at once with 0, and the first comes forward,
// the dialog in front.
TEST_F(WindowTest, ASecondStartEndsAndBringsTheFirstForward) {
    ASSERT_NE(Launch(), nullptr);
    auto startAgain = [&](wxWindow* front) {
        m_frame->Iconize();
        ASSERT_TRUE(PumpUntil([&] { return m_frame->IsIconized(); }, 5));
        bool ended = false;
        int code = -1;
        wxProcess second;
        second.Bind(wxEVT_END_PROCESS, [&](wxProcessEvent& event) {
            code = event.GetExitCode();
            ended = true;
        });
        const long pid = wxExecute(wxString("\"") + V7_PROGRAM_PATH + "\"", wxEXEC_ASYNC, &second);
        ASSERT_GT(pid, 0) << V7_PROGRAM_PATH;
        if (!PumpUntil([&] { return ended; }, 30)) {
            wxProcess::Kill(pid, wxSIGKILL);
            PumpUntil([&] { return ended; }, 5);
            FAIL() << "the second copy is still running";
        }
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(PumpUntil([&] { return !m_frame->IsIconized() && ::GetForegroundWindow() == front->GetHWND(); }, 5))
            << "not in front: " << front->GetLabel();
    };
    startAgain(m_frame);
    int shown = 0;
    m_guard->RunModal = [&](wxDialog* dialog) {
        ++shown;
        startAgain(dialog);
        dialog->EndModal(wxID_CANCEL);
    };
    ClickWithMouse(PanelButton(CV7View::IDC_TEST));
    EXPECT_EQ(shown, 1);
}

}  // namespace
