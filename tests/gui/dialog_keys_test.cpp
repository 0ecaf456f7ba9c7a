// Enter in every dialog, as a real key: it presses the default button wherever
// the focus is, a focused push button presses itself, a disabled default
// button does nothing, and a multi-line edit that takes Enter keeps it. Every
// dialog shows its controls whole (run again at larger fonts, see CMakeLists.txt).
#include <algorithm>

#include <wx/choice.h>
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

using DialogKeysTest = GuiTest;

// Every control inside the window and at least a line of the font high (a
// drop-down list at least as high as its text needs).
void ExpectShownWhole(wxDialog* dialog) {
    const int line = dialog->GetCharHeight();
    for (wxWindow* child : dialog->GetChildren()) {
        SCOPED_TRACE(child->GetLabel().utf8_string());
        EXPECT_TRUE(wxRect(dialog->GetClientSize()).Contains(child->GetRect()));
        const int least = dynamic_cast<wxChoice*>(child) ? std::max(line, child->GetBestSize().y) : line;
        EXPECT_GE(child->GetSize().y, least);
    }
}

// Each dialog runs its own modal loop as its command runs it; the result says
// which button Enter pressed (wxID_NONE: none, the dialog stays).
TEST_F(DialogKeysTest, EnterPressesTheDefaultButtonUnlessTheFocusTakesIt) {
    ASSERT_NE(LaunchOnInitialisedHost(), nullptr);
    options::StationOptions values;
    values.DefaultUser = "User1";
    const std::function<wxDialog*()> users = [&] { return new CDisplayUsersDlg(m_frame); },
                                     remove = [&] { return new CRemoveUserDlg(m_frame); },
                                     options = [&] { return new CStationOptionsDlg(m_frame, values); },
                                     test = [&] { return new CTestStationDlg(m_frame); },
                                     shutDown = [&] { return new CShutDownDlg(m_frame); },
                                     send = [&] { return new CSendMessageDlg(m_frame); },
                                     about = [&] { return new CAboutDlg(m_frame); },
                                     help = [&] { return new CMoreHelpDlg(m_frame); };
    const struct {
        const std::function<wxDialog*()>& Make;
        int Focus, Pressed;
        const char* Pick = nullptr;  // the name picked once the list has the focus
        const char* Typed = "";      // what Enter puts in the focused edit
        bool Disabled = false;       // the default button is disabled when Enter comes
    } cases[] = {
        {users, CDisplayUsersDlg::IDC_USER_LIST, wxID_OK},
        {remove, CRemoveUserDlg::IDC_USER_LIST, wxID_NONE, nullptr, "", true},
        {remove, CRemoveUserDlg::IDC_USER_LIST, wxID_OK, "Anna"},
        {options, CStationOptionsDlg::IDC_DEFAULT_USER, wxID_OK},
        {options, CStationOptionsDlg::IDC_AUTOLAUNCH, wxID_OK},
        {options, CStationOptionsDlg::IDC_RESOLUTION, wxID_OK},
        {options, CStationOptionsDlg::IDC_COLORS, wxID_OK},
        {options, wxID_CANCEL, wxID_CANCEL},
        {test, CTestStationDlg::IDC_MOUSE, wxID_CANCEL},
        {test, CTestStationDlg::IDC_TROUBLESHOOTER, wxID_CANCEL},
        {test, wxID_OK, wxID_OK},
        {shutDown, CShutDownDlg::IDC_RESTART, wxID_OK},
        {send, CSendMessageDlg::IDC_MESSAGE, wxID_NONE, nullptr, "\n"},
        {about, wxID_OK, wxID_OK},
        {help, CMoreHelpDlg::IDC_CONTACT, wxID_NONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        wxDialog* dialog = c.Make();
        wxWindow* focus = dialog->FindWindow(c.Focus);
        auto* text = dynamic_cast<wxTextCtrl*>(focus);
        auto state = [text] { return text ? text->GetValue() : wxString(); };
        wxString before, after;
        m_guard->RunModal = [&](wxDialog*) {
            ExpectShownWhole(dialog);
            focus->SetFocus();
            EXPECT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == focus; }, 5)) << "no keyboard focus";
            if (c.Pick) Select(static_cast<CUserListDlg*>(dialog)->List(), c.Pick, wxEVT_LISTBOX);
            // GTK may pick the list's first row when the list takes the focus.
            if (c.Disabled) dialog->FindWindow(wxID_OK)->Disable();
            before = state();
            wxUIActionSimulator().Char(WXK_RETURN);
            PumpUntil([&] { return !dialog->IsModal(); }, 0.5);
            after = state();
            if (dialog->IsModal()) dialog->EndModal(wxID_NONE);
        };
        auto* list = dynamic_cast<CUserListDlg*>(dialog);
        EXPECT_EQ(list ? list->DoModal() : dialog->ShowModal(), c.Pressed);
        EXPECT_EQ(after, before + c.Typed);
        dialog->Destroy();
    }
}

}  // namespace
