// "Display Users" (template 104): the profile names, for reading only.
#pragma once

#include "users/ui/UserListDlg.h"

class CDisplayUsersDlg : public CUserListDlg {
public:
    static constexpr int IDD = 104;
    static constexpr int IDC_USER_LIST = 1015;

    explicit CDisplayUsersDlg(wxWindow* parent);
};
