// Where to go for more help: the maker's contact text, and buttons that open
// the web site and start an e-mail to Technical Support.
#pragma once

#include <wx/dialog.h>
#include <wx/string.h>

class wxKeyEvent;

class CMoreHelpDlg : public wxDialog {
public:
    static constexpr int IDD = 107;
    static constexpr int IDC_CONTACT = 1040;
    static constexpr int IDC_INTERNET = 1041;
    static constexpr int IDC_EMAIL = 1042;

    explicit CMoreHelpDlg(wxWindow* parent);

    // Opens the address of string-table entry stringId with the desktop's
    // handler; message 1403 names it when that cannot be done. The dialog
    // stays open either way.
    void OpenHelpTarget(unsigned stringId);

    wxString m_strContactText;
};
