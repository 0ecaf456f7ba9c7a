// "Shut Down Windows" (template 108): the warning to save work on both the
// host and the station, and the choice between shutting down and restarting.
#pragma once

#include <wx/dialog.h>

class wxRadioButton;

class CShutDownDlg : public wxDialog {
public:
    enum : int {
        IDD = 108,
        IDC_WARNING = 1050,
        IDC_GROUP = 1051,
        IDC_SHUT_DOWN = 1052,
        IDC_RESTART = 1053,
        IDC_HELP_BUTTON = wxID_HELP,  // the system's 57670 is above wx's window ID range
    };

    explicit CShutDownDlg(wxWindow* parent);

    // OK reads the radio buttons into m_nShutdownChoice.
    bool TransferDataFromWindow() override;

    // 0 = shut down, 1 = restart, 2 = neither button checked.
    int m_nShutdownChoice = 0;

private:
    wxRadioButton* m_shutDown = nullptr;
    wxRadioButton* m_restart = nullptr;
};
