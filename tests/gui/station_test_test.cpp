// The Test V7 Station dialog through the real station drivers: a pass per
// showing, Refresh running the next one, Close ending; indicators that a
// click or Space never change.
#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "GuiTest.h"
#include "station/PowerSequence.h"
#include "station/ui/TestStationDlg.h"

namespace {

using namespace guitest;

constexpr int kIndicators[] = {CTestStationDlg::IDC_SOFTWARE_RUNNING, CTestStationDlg::IDC_CONNECTOR_BOX,
                               CTestStationDlg::IDC_KEYBOARD, CTestStationDlg::IDC_MOUSE,
                               CTestStationDlg::IDC_STATION_ON};

// "x" for a ticked box, " " for an empty one, in the dialog's order.
std::string Ticks(wxWindow* dialog) {
    std::string ticks;
    for (int id : kIndicators) ticks += dynamic_cast<wxCheckBox*>(dialog->FindWindow(id))->GetValue() ? 'x' : ' ';
    return ticks;
}

std::string Troubleshooter(wxWindow* dialog) {
    return dynamic_cast<wxTextCtrl*>(dialog->FindWindow(CTestStationDlg::IDC_TROUBLESHOOTER))->GetValue().utf8_string();
}

using StationTestDialogTest = GuiTest;

TEST_F(StationTestDialogTest, RefreshRunsAnotherPassThatSeesTheStationTurnedOnElsewhere) {
    CMainFrame* frame = Launch();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_TEST));

    wxTEST_DIALOG(ClickWithMouse(PanelButton(CV7View::IDC_TEST)),
                  ExpectDialog<CTestStationDlg>([](CTestStationDlg* dialog) {
                      EXPECT_EQ(dialog->GetTitle().utf8_string(), "Test V7 Station: Problem?");
                      EXPECT_EQ(Ticks(dialog), "xxxx ");
                      wxString notOn = Text(3008);
                      notOn.Replace("\r\n", "\n");
                      EXPECT_EQ(Troubleshooter(dialog), notOn.utf8_string());
                      // Another program turns the station on while the dialog is up.
                      StationConfiguration elsewhere;
                      EXPECT_EQ(station::TurnOn(elsewhere), station::PowerResult::Done);
                      return wxID_OK;  // Refresh
                  }),
                  ExpectDialog<CTestStationDlg>([](CTestStationDlg* dialog) {
                      EXPECT_EQ(dialog->GetTitle().utf8_string(), "Test V7 Station: OK");
                      EXPECT_EQ(Ticks(dialog), "xxxxx");
                      EXPECT_EQ(Troubleshooter(dialog), "[ No problems found ]\n\n");
                      return wxID_CANCEL;  // Close
                  }));
    // Close ended it (a third pass would be an unexpected dialog). The panel
    // and the menu follow what the test read.
    EXPECT_FALSE(PanelButton(CV7View::IDC_ON)->IsEnabled());
    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_OFF));
}

// Shown for real: it opens on Close, and Refresh, pressed with a key, shows
// the next pass with the focus still on Refresh.
TEST_F(StationTestDialogTest, RefreshLeavesTheFocusWhereItWas) {
    ASSERT_NE(Launch(), nullptr);
    m_guard.reset();
    std::vector<int> focused;  // as each pass shows
    RealModalLoops modal([&](wxDialog* dialog) {
        PumpUntil([&] { return dialog->IsShownOnScreen(); }, 5);
        PumpEvents();
        focused.push_back(wxWindow::FindFocus() ? wxWindow::FindFocus()->GetId() : wxID_NONE);
        wxWindow* refresh = dialog->FindWindow(wxID_OK);
        if (focused.size() > 1 || wxWindow::FindFocus() != refresh) refresh->SetFocus();
        if (focused.size() > 1 || !PumpUntil([&] { return wxWindow::FindFocus() == refresh; }, 5)) {
            dialog->EndModal(wxID_CANCEL);
            return;
        }
        wxUIActionSimulator().Char(WXK_SPACE);
        if (!PumpUntil([&] { return !dialog->IsModal(); }, 5)) dialog->EndModal(wxID_CANCEL);
    });
    m_frame->OnStationTest();
    EXPECT_EQ(focused, (std::vector<int>{wxID_CANCEL, wxID_OK}));
}

TEST_F(StationTestDialogTest, IndicatorsIgnoreClicksAndSpaceAndNothingIsClipped) {
    auto* dialog = new CTestStationDlg(nullptr);  // destroyed by EndProgram
    station::TestResult result;
    result.SoftwareRunning = result.Mouse = true;
    dialog->SetResult(result);
    dialog->Show();
    ASSERT_TRUE(PumpUntil([&] { return dialog->IsShownOnScreen(); }));
    PumpEvents();

    wxUIActionSimulator input;
    for (int id : kIndicators) {
        wxWindow* box = dialog->FindWindow(id);
        SCOPED_TRACE(box->GetLabel().utf8_string());
        input.MouseMove(box->ClientToScreen(wxPoint(8, box->GetSize().y / 2)));
        input.MouseClick();
        PumpEvents();
        EXPECT_EQ(Ticks(dialog), "x  x ") << "a click changed it";
        box->SetFocus();
        PumpEvents();
        input.Char(WXK_SPACE);
        PumpEvents();
        EXPECT_EQ(Ticks(dialog), "x  x ") << "Space changed it";
    }

    // Every control shows whole inside the window, at the font in use.
    const wxRect client(dialog->GetClientSize());
    for (wxWindow* child : dialog->GetChildren()) {
        SCOPED_TRACE(child->GetLabel().utf8_string());
        EXPECT_TRUE(client.Contains(child->GetRect()));
        if (!dynamic_cast<wxTextCtrl*>(child)) {
            EXPECT_LE(child->GetBestSize().x, child->GetSize().x);
        }
    }
}

}  // namespace
