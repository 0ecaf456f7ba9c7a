// "Send a message" (template 101): the text for the person at the V7 Station,
// at most 200 bytes as sent (UTF-8, a line break as CR LF), Enter starting a new line.
#pragma once

#include <wx/dialog.h>
#include <wx/string.h>

class wxTextCtrl;
class wxCommandEvent;

class CSendMessageDlg : public wxDialog {
public:
    // The system's Help command (57670) is above wx's window ID range: the
    // Help button takes wx's own standard help ID.
    enum : int { IDD = 101, IDC_MESSAGE = 1005, IDC_HELP_BUTTON = wxID_HELP };

    explicit CSendMessageDlg(wxWindow* parent);

    // Checked on Send: a longer text is refused and the dialog stays open.
    bool Validate() override;

    wxString m_strMessage;

private:
    void OnText(wxCommandEvent& event);

    wxTextCtrl* m_edit = nullptr;
    wxString m_lastAccepted;  // the last text within the limit, put back when it is exceeded
};
