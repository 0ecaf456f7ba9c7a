// The Test V7 Station dialog through the real station drivers: a pass per
// showing, Refresh running the next one, Close ending; indicators that a
// click or Space never change; the Help button's topic.
#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "GuiTest.h"
#include "panel/PictureButton.h"
#include "panel/V7View.h"
#include "station/PowerSequence.h"
#include "station/ui/TestStationDlg.h"

namespace {

using namespace guitest;

// The test dialog as it is about to show; `check` looks at it and answers.
class ExpectTestDialog : public wxExpectModalBase<CTestStationDlg, ExpectTestDialog> {
public:
    explicit ExpectTestDialog(std::function<int(CTestStationDlg*)> check) : m_check(std::move(check)) {
        m_description = "Test V7 Station dialog";
    }

protected:
    int OnInvoked(CTestStationDlg* dialog) const override { return m_check(dialog); }

private:
    std::function<int(CTestStationDlg*)> m_check;
};

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

std::string Lines(unsigned id) {
    wxString text = Text(id);
    text.Replace("\r\n", "\n");
    return text.utf8_string();
}

using StationTestDialogTest = GuiTest;

TEST_F(StationTestDialogTest, RefreshRunsAnotherPassThatSeesTheStationTurnedOnElsewhere) {
    InstallStation();
    StartDrivers();
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_TEST));

    int passes = 0;
    wxTEST_DIALOG(ClickWithMouse(frame->GetActiveView()->Button(CV7View::IDC_TEST)),
                  ExpectTestDialog([&](CTestStationDlg* dialog) {
                      ++passes;
                      EXPECT_EQ(dialog->GetId(), 105);
                      EXPECT_EQ(dialog->GetTitle().utf8_string(), "Test V7 Station: Problem?");
                      EXPECT_EQ(Ticks(dialog), "xxxx ");
                      EXPECT_EQ(Troubleshooter(dialog), Lines(3008));
                      // Another program turns the station on while the dialog is up.
                      StationConfiguration elsewhere;
                      EXPECT_EQ(station::TurnOn(elsewhere), station::PowerResult::Done);
                      return wxID_OK;  // Refresh
                  }),
                  ExpectTestDialog([&](CTestStationDlg* dialog) {
                      ++passes;
                      EXPECT_EQ(dialog->GetTitle().utf8_string(), "Test V7 Station: OK");
                      EXPECT_EQ(Ticks(dialog), "xxxxx");
                      EXPECT_EQ(Troubleshooter(dialog), "[ No problems found ]\n\n");
                      return wxID_CANCEL;  // Close
                  }));
    EXPECT_EQ(passes, 2) << "Close did not end the test";
    // The panel and the menu follow what the test read.
    EXPECT_FALSE(frame->GetActiveView()->Button(CV7View::IDC_ON)->IsEnabled());
    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_OFF));

    // From the menu, with the drivers gone: every driver paragraph first.
    m_drivers.reset();
    wxTEST_DIALOG(PickMenuCommand(frame, cmd::ID_STATION_TEST), ExpectTestDialog([](CTestStationDlg* dialog) {
                      EXPECT_EQ(Ticks(dialog)[0], ' ');
                      EXPECT_EQ(Troubleshooter(dialog).rfind(Lines(3000) + Lines(3001) + Lines(3002), 0), 0u);
                      return wxID_CANCEL;
                  }));
}

TEST_F(StationTestDialogTest, IndicatorsIgnoreClicksAndSpaceAndNothingIsClipped) {
    auto* dialog = new CTestStationDlg(nullptr);  // destroyed by EndProgram
    station::TestResult result;
    result.SoftwareRunning = result.Mouse = true;
    result.Text = "[ A ]\r\n    line\r\n\r\n";
    result.Caption = "caption";
    dialog->SetResult(result);
    EXPECT_EQ(Troubleshooter(dialog), "[ A ]\n    line\n\n");
    EXPECT_EQ(dialog->GetTitle(), "caption");
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

    wxCommandEvent help(wxEVT_BUTTON, CTestStationDlg::ID_HELP);
    dialog->FindWindow(CTestStationDlg::ID_HELP)->GetEventHandler()->ProcessEvent(help);
    EXPECT_EQ(ShownHelpPage(), "dialog-105.htm");
}

}  // namespace
