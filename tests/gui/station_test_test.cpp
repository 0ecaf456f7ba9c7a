// The Test V7 Station dialog through the real station drivers: a pass per
// showing, Refresh running the next one, Close ending; indicators that a
// click or Space never change.
#include <dlfcn.h>

#include <wx/checkbox.h>
#include <wx/display.h>
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

// The advice is read whole: the text in view entire, or the dialog as tall as
// the screen with a scroll bar that is drawn, not one that shows only under
// the pointer.
testing::AssertionResult ShowsWholeAdvice(wxDialog* dialog) {
    PumpEvents();
    auto* text = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(CTestStationDlg::IDC_TROUBLESHOOTER));
    const int range = text->GetScrollRange(wxVERTICAL), page = text->GetScrollThumb(wxVERTICAL);
    if (range <= page) return testing::AssertionSuccess();
    using GetOverlay = int (*)(void*);
    auto overlay = reinterpret_cast<GetOverlay>(dlsym(RTLD_DEFAULT, "gtk_scrolled_window_get_overlay_scrolling"));
    const int screen = wxDisplay(dialog).GetClientArea().height;
    if (dialog->GetSize().y * 10 >= screen * 9 && overlay && !overlay(text->GetHandle()))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "shows " << page << " of " << range << " pixels of advice in a dialog "
                                       << dialog->GetSize().y << " high on a screen " << screen << " high";
}

using StationTestDialogTest = GuiTest;

// Shown for real: nothing is clipped, and a click or Space changes no
// indicator; Refresh, pressed with a key, runs another pass that sees the
// station turned on elsewhere, with the focus still on Refresh; Close ends it.
TEST_F(StationTestDialogTest, RefreshRunsAnotherPassThatSeesTheStationTurnedOnElsewhere) {
    CMainFrame* frame = Launch();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_TEST));
    std::vector<std::string> passes;  // caption | ticks | text, then the focused control
    m_guard->RunModal = [&](wxDialog* dialog) {
        std::string pass = dialog->GetTitle().utf8_string() + " | " + Ticks(dialog) + " | " + Troubleshooter(dialog);
        EXPECT_TRUE(ShowsWholeAdvice(dialog));
        if (!passes.empty()) {
            // The focus settles once the window is on screen.
            PumpUntil([&] { return wxWindow::FindFocus() == dialog->FindWindow(wxID_OK); }, 2);
            pass += " | " + (wxWindow::FindFocus() ? wxWindow::FindFocus()->GetLabel().utf8_string() : "none");
        }
        passes.push_back(pass);
        if (passes.size() > 2) return dialog->EndModal(wxID_CANCEL);  // Close
        if (passes.size() > 1) {
            m_drivers->Stop();  // the registry still says on
            return dialog->EndModal(wxID_OK);  // Refresh
        }
        wxUIActionSimulator input;
        for (int id : kIndicators) {
            wxWindow* box = dialog->FindWindow(id);
            input.MouseMove(box->ClientToScreen(wxPoint(8, box->GetSize().y / 2)));
            input.MouseClick();
            PumpEvents();
            EXPECT_EQ(Ticks(dialog), "xxxx ") << "a click changed " << box->GetLabel().utf8_string();
            box->SetFocus();
            PumpEvents();
            input.Char(WXK_SPACE);
            PumpEvents();
            EXPECT_EQ(Ticks(dialog), "xxxx ") << "Space changed " << box->GetLabel().utf8_string();
        }
        // Every control shows whole inside the window, at the font in use.
        for (wxWindow* child : dialog->GetChildren()) {
            EXPECT_TRUE(wxRect(dialog->GetClientSize()).Contains(child->GetRect())) << child->GetLabel();
            EXPECT_TRUE(dynamic_cast<wxTextCtrl*>(child) || child->GetBestSize().x <= child->GetSize().x)
                << child->GetLabel();
        }
        StationConfiguration elsewhere;  // another program turns the station on
        EXPECT_EQ(station::TurnOn(elsewhere), station::PowerResult::Done);
        wxWindow* refresh = dialog->FindWindow(wxID_OK);
        refresh->SetFocus();
        EXPECT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == refresh; }, 5)) << "no keyboard focus";
        wxUIActionSimulator().Char(WXK_SPACE);
        if (!PumpUntil([&] { return !dialog->IsModal(); }, 5)) dialog->EndModal(wxID_CANCEL);
    };
    ClickWithMouse(PanelButton(CV7View::IDC_TEST));
    wxString notOn = Text(3008);
    notOn.Replace("\r\n", "\n");
    wxString gone;
    for (unsigned id : {3000, 3001, 3002, 3003, 3009, 3008}) gone += Text(id);
    gone.Replace("\r\n", "\n");
    EXPECT_EQ(passes, (std::vector<std::string>{
                          "Test V7 Station: Problem? | xxxx  | " + notOn.utf8_string(),
                          "Test V7 Station: OK | xxxxx | [ No problems found ]\n\n | &Refresh",
                          "Test V7 Station: Problem? |  xxx  | " + gone.utf8_string() + " | &Refresh"}));
    // The panel follows once the dialog is closed: no drivers, no pair to use.
    EXPECT_TRUE(PumpUntil([&] { return PanelButton(CV7View::IDC_OFF)->IsDimmed(); }, 0.5));
    EXPECT_FALSE(PanelButton(CV7View::IDC_ON)->IsEnabled());
}

// The longest advice (no drivers: a paragraph for each, and the station off).
TEST_F(StationTestDialogTest, LongestAdviceIsReadWhole) {
    ASSERT_NE(Launch(), nullptr);
    m_drivers.reset();
    int shown = 0;
    m_guard->RunModal = [&](wxDialog* dialog) {
        ++shown;
        EXPECT_GT(Troubleshooter(dialog).size(), 2000u);
        EXPECT_TRUE(ShowsWholeAdvice(dialog));
        dialog->EndModal(wxID_CANCEL);
    };
    ClickWithMouse(PanelButton(CV7View::IDC_TEST));
    EXPECT_EQ(shown, 1);
}

}  // namespace
