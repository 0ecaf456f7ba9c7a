#include "users/ui/RemoveUserDlg.h"

#include <wx/button.h>
#include <wx/listbox.h>

CRemoveUserDlg::CRemoveUserDlg(wxWindow* parent) : CUserListDlg(parent, IDD, "Remove User", IDC_USER_LIST) {
    auto* remove = new wxButton(this, wxID_OK, "&Remove", At(131, 7), Size(50, 25));
    new wxButton(this, wxID_CANCEL, "&Cancel", At(131, 35), Size(50, 25));
    AddHelpButton(131, 63);
    remove->SetDefault();
    remove->Disable();
    // Once a name is picked, by mouse or keyboard, Remove stays usable.
    List()->Bind(wxEVT_LISTBOX, [remove](wxCommandEvent&) { remove->Enable(); });
}

bool CRemoveUserDlg::TransferDataFromWindow() {
    m_strUserName = List()->GetStringSelection();
    return true;
}
