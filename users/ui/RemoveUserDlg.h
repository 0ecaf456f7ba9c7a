// "Remove User" (template 102): pick the profile to remove. Remove stays
// disabled until a name is picked.
#pragma once

#include <wx/string.h>

#include "users/ui/UserListDlg.h"

class CRemoveUserDlg : public CUserListDlg {
public:
    static constexpr int IDD = 102;
    static constexpr int IDC_USER_LIST = 1013;

    explicit CRemoveUserDlg(wxWindow* parent);

    bool TransferDataFromWindow() override;

    // The name picked when the dialog closed with Remove; empty when none.
    const wxString& UserName() const { return m_strUserName; }

private:
    wxString m_strUserName;
};
