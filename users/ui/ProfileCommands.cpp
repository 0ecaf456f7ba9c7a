#include "users/ui/ProfileCommands.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "station/ui/CommandHost.h"
#include "users/ProfileRemoval.h"
#include "users/ui/DisplayUsersDlg.h"
#include "users/ui/RemoveUserDlg.h"

namespace users::ui {
namespace {

constexpr unsigned IDS_OWN_PROFILE = 2203;

// A finished message in a box captioned with the application title, as the
// string-table boxes are.
int ShowText(const Message& message, long style, wxWindow* parent) {
    const wxString caption = wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("V7");
    return wxMessageBox(wxString::FromUTF8(message.Text), caption, style, parent);
}

}  // namespace

void OnDisplayUsers(CommandHost& host) {
    CDisplayUsersDlg dialog(host.Window());
    dialog.DoModal();
}

void OnRemoveUser(CommandHost& host) {
    wxWindow* parent = host.Window();
    wxString name;
    {
        CRemoveUserDlg dialog(parent);
        if (dialog.DoModal() != wxID_OK) return;
        name = dialog.UserName();
    }
    RemovalDialogue dialogue;
    dialogue.Confirm = [parent](const Message& m) { return ShowText(m, wxYES_NO | wxICON_WARNING, parent) == wxYES; };
    // Removing the profile of someone logged on: No is the safe default.
    dialogue.ConfirmLoggedOn = [parent](const Message& m) {
        return ShowText(m, wxYES_NO | wxNO_DEFAULT | wxICON_ERROR, parent) == wxYES;
    };
    // The refusal to remove one's own profile is an error; a removal step that
    // failed is told in a plain OK box, and the removal goes on.
    dialogue.Report = [parent](const Message& m) {
        ShowText(m, wxOK | (m.Id == IDS_OWN_PROFILE ? wxICON_ERROR : wxICON_NONE), parent);
    };
    RemoveUserProfile(name.utf8_string(), host.Configuration(), dialogue);
}

}  // namespace users::ui
