#include "users/ui/DisplayUsersDlg.h"

#include <wx/button.h>

CDisplayUsersDlg::CDisplayUsersDlg(wxWindow* parent) : CUserListDlg(parent, IDD, "Display Users", IDC_USER_LIST) {
    // No Cancel button: Escape and the close box end the dialog as OK does.
    auto* ok = new wxButton(this, wxID_OK, "&OK", At(131, 7), Size(50, 25));
    AddHelpButton(131, 36);
    ok->SetDefault();
}
