#include "users/ui/DisplayUsersDlg.h"

CDisplayUsersDlg::CDisplayUsersDlg(wxWindow* parent) : CUserListDlg(parent, IDD, "Display Users", IDC_USER_LIST) {
    // No Cancel button: Escape and the close box end the dialog as OK does.
    AddButtons({{wxID_OK, "&OK", 131, 7}, {HelpButtonId(), "&Help", 131, 36}});
}
