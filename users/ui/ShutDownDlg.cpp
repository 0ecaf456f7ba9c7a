#include "users/ui/ShutDownDlg.h"

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "resources/ui/DialogKeys.h"
#include "resources/ui/HelpBook.h"

CShutDownDlg::CShutDownDlg(wxWindow* parent)
    : wxDialog(parent, IDD, "Shut Down Windows", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU) {
    auto at = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
    auto size = [this](int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); };

    auto* warning = new wxStaticText(this, IDC_WARNING,
                                     "Are you sure you want to Shut Down the Host and V7 Station Now?  NOTICE: Close "
                                     "all files and exit all programs on the V7 Station AND the Host Computer before "
                                     "shut down.",
                                     at(7, 7), size(144, 42));
    warning->Wrap(size(144, 42).GetWidth());
    new wxStaticBox(this, IDC_GROUP, wxEmptyString, at(7, 45), size(141, 44));
    // One group: checking one button clears the other.
    m_shutDown = new wxRadioButton(this, IDC_SHUT_DOWN, "Sh&ut down the computer?", at(15, 57), size(124, 10),
                                   wxRB_GROUP);
    m_restart = new wxRadioButton(this, IDC_RESTART, "&Restart the computer?", at(15, 74), size(124, 10));
    auto* ok = new wxButton(this, wxID_OK, "&OK", at(159, 7), size(50, 25));
    new wxButton(this, wxID_CANCEL, "&Cancel", at(159, 35), size(50, 25));
    new wxButton(this, IDC_HELP_BUTTON, "&Help", at(159, 63), size(50, 26));
    ok->SetDefault();
    ui::EnterPressesDefaultButton(this);
    ui::F1ShowsHelpTopic(this);
    SetClientSize(size(218, 95));
    CentreOnParent();

    // Opens with "shut down" chosen, so OK at once shuts the computer down.
    m_shutDown->SetValue(true);
    ok->SetFocus();

    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { HelpBook::ShowTopicFor(this); }, IDC_HELP_BUTTON);
}

bool CShutDownDlg::TransferDataFromWindow() {
    m_nShutdownChoice = m_shutDown->GetValue() ? 0 : m_restart->GetValue() ? 1 : 2;
    return wxDialog::TransferDataFromWindow();
}
