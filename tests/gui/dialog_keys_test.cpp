// Enter in every dialog, as a real key: it presses the default button wherever
// the focus is, a focused push button presses itself, a disabled default
// button does nothing, and a multi-line edit that takes Enter keeps it.
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "GuiTest.h"
#include "options/ui/AboutDlg.h"
#include "options/ui/MoreHelpDlg.h"
#include "options/ui/StationOptionsDlg.h"
#include "station/ui/TestStationDlg.h"
#include "users/ui/DisplayUsersDlg.h"
#include "users/ui/RemoveUserDlg.h"
#include "users/ui/SendMessageDlg.h"
#include "users/ui/ShutDownDlg.h"

namespace {

using namespace guitest;
using Options = CStationOptionsDlg;

class DialogKeysTest : public GuiTest {
protected:
    void SetUpProgram() override {
        ASSERT_NE(LaunchOnInitialisedHost(), nullptr);
        m_guard.reset();  // the dialogs show for real
    }
};

// Each dialog runs modally as its command runs it; a real Enter goes to the
// control given the focus, and the dialog's result says which button it pressed.
TEST_F(DialogKeysTest, EnterPressesTheDefaultButtonUnlessTheFocusTakesIt) {
    std::function<void(wxDialog*)> whileShown;
    RealModalLoops modal([&](wxDialog* dialog) { whileShown(dialog); });
    options::StationOptions values;
    values.DefaultUser = "User1";
    const struct {
        const char* Name;
        std::function<wxDialog*()> Make;
        int Focus;
        int Pressed;  // wxID_NONE: none, the dialog stays
        const char* Pick = nullptr;  // the name picked in the list once it has the focus
    } cases[] = {
        {"Display Users, list", [&] { return new CDisplayUsersDlg(m_frame); }, CDisplayUsersDlg::IDC_USER_LIST, wxID_OK},
        {"Remove User, list", [&] { return new CRemoveUserDlg(m_frame); }, CRemoveUserDlg::IDC_USER_LIST, wxID_NONE},
        {"Remove User, a name", [&] { return new CRemoveUserDlg(m_frame); }, CRemoveUserDlg::IDC_USER_LIST, wxID_OK,
         "Anna"},
        {"Remove User, Cancel", [&] { return new CRemoveUserDlg(m_frame); }, wxID_CANCEL, wxID_CANCEL, "Anna"},
        {"Options, login name", [&] { return new CStationOptionsDlg(m_frame, values); }, Options::IDC_DEFAULT_USER,
         wxID_OK},
        {"Options, check box", [&] { return new CStationOptionsDlg(m_frame, values); }, Options::IDC_AUTOLAUNCH, wxID_OK},
        {"Options, slider", [&] { return new CStationOptionsDlg(m_frame, values); }, Options::IDC_RESOLUTION, wxID_OK},
        {"Options, colour list", [&] { return new CStationOptionsDlg(m_frame, values); }, Options::IDC_COLORS, wxID_OK},
        {"Options, Cancel", [&] { return new CStationOptionsDlg(m_frame, values); }, wxID_CANCEL, wxID_CANCEL},
        {"Test, indicator", [&] { return new CTestStationDlg(m_frame); }, CTestStationDlg::IDC_MOUSE, wxID_CANCEL},
        {"Test, troubleshooter", [&] { return new CTestStationDlg(m_frame); }, CTestStationDlg::IDC_TROUBLESHOOTER,
         wxID_CANCEL},
        {"Test, Refresh", [&] { return new CTestStationDlg(m_frame); }, wxID_OK, wxID_OK},
        {"Shut Down, Restart", [&] { return new CShutDownDlg(m_frame); }, CShutDownDlg::IDC_RESTART, wxID_OK},
        {"Send a message, text", [&] { return new CSendMessageDlg(m_frame); }, CSendMessageDlg::IDC_MESSAGE, wxID_NONE},
        {"Send a message, Cancel", [&] { return new CSendMessageDlg(m_frame); }, wxID_CANCEL, wxID_CANCEL},
        {"About, Close", [&] { return new CAboutDlg(m_frame); }, wxID_OK, wxID_OK},
        {"More help, contact text", [&] { return new CMoreHelpDlg(m_frame); }, CMoreHelpDlg::IDC_CONTACT, wxID_NONE},
        {"More help, OK", [&] { return new CMoreHelpDlg(m_frame); }, wxID_OK, wxID_OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        wxDialog* dialog = c.Make();
        wxWindow* focus = dialog->FindWindow(c.Focus);
        ASSERT_NE(focus, nullptr);
        // What the focused control shows, which Enter leaves as it is.
        auto state = [focus] {
            if (auto* check = dynamic_cast<wxCheckBox*>(focus)) return wxString(check->GetValue() ? "x" : ".");
            if (auto* radio = dynamic_cast<wxRadioButton*>(focus)) return wxString(radio->GetValue() ? "x" : ".");
            if (auto* text = dynamic_cast<wxTextCtrl*>(focus)) return text->GetValue();
            return wxString();
        };
        wxString before, after;
        whileShown = [&](wxDialog*) {
            PumpUntil([&] { return dialog->IsShownOnScreen(); }, 5);
            PumpEvents();
            focus->SetFocus();
            EXPECT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == focus; }, 5)) << "no keyboard focus";
            if (auto* list = dynamic_cast<wxListBox*>(dialog->FindWindow(CRemoveUserDlg::IDC_USER_LIST)); c.Pick)
                Select(list, c.Pick, wxEVT_LISTBOX);
            before = state();
            wxUIActionSimulator().Char(WXK_RETURN);
            PumpUntil([&] { return !dialog->IsModal(); }, 0.5);
            after = state();
            if (dialog->IsModal()) dialog->EndModal(wxID_NONE);
        };
        const int pressed = dynamic_cast<CUserListDlg*>(dialog) ? static_cast<CUserListDlg*>(dialog)->DoModal()
                                                                 : dialog->ShowModal();
        EXPECT_EQ(pressed, c.Pressed);
        EXPECT_EQ(after, dynamic_cast<CSendMessageDlg*>(dialog) && c.Pressed == wxID_NONE ? before + "\n" : before);
        dialog->Destroy();
        PumpEvents();
    }
}

}  // namespace
