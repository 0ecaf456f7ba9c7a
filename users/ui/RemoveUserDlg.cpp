#include "users/ui/RemoveUserDlg.h"

#include <wx/listbox.h>

CRemoveUserDlg::CRemoveUserDlg(wxWindow* parent) : CUserListDlg(parent, IDD, "Remove User", IDC_USER_LIST) {
    AddButtons({{wxID_OK, "&Remove", 131, 7}, {wxID_CANCEL, "&Cancel", 131, 35}, {HelpButtonId(), "&Help", 131, 63}});
    wxWindow* remove = FindWindow(wxID_OK);
    remove->Disable();
    // Once a name is picked, by mouse or keyboard, Remove stays usable.
    List()->Bind(wxEVT_LISTBOX, [this, remove](wxCommandEvent&) {
        if (!Settling()) remove->Enable();
    });
}

bool CRemoveUserDlg::TransferDataFromWindow() {
    m_strUserName = List()->GetStringSelection();
    return true;
}
