#include "users/ui/SendMessageDlg.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/valgen.h>

#include "resources/ui/DialogKeys.h"
#include "resources/ui/HelpBook.h"
#include "users/Broadcast.h"

namespace {

// The text's size as it is sent: UTF-8 bytes, a line break as CR LF.
std::size_t Bytes(const wxString& text) { return users::MessageBytes(text.utf8_string()); }

}  // namespace

CSendMessageDlg::CSendMessageDlg(wxWindow* parent)
    : wxDialog(parent, IDD, "Send a message", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU) {
    // Positions and sizes in dialog units, so the controls follow the font.
    auto at = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
    auto size = [this](int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); };

    // A multi-line control: Enter starts a new line rather than pressing Send.
    m_edit = new wxTextCtrl(this, IDC_MESSAGE, wxEmptyString, at(7, 6), size(187, 83),
                            wxTE_MULTILINE | wxVSCROLL | wxBORDER_SUNKEN,
                            wxGenericValidator(&m_strMessage));
    auto* send = new wxButton(this, wxID_OK, "&Send", at(203, 6), size(50, 25));
    new wxButton(this, wxID_CANCEL, "C&ancel", at(203, 35), size(50, 25));
    new wxButton(this, IDC_HELP_BUTTON, "&Help", at(203, 64), size(50, 25));
    send->SetDefault();
    ui::EnterPressesDefaultButton(this, {m_edit});
    ui::F1ShowsHelpTopic(this);
    SetClientSize(size(259, 95));
    CentreOnParent();

    m_edit->Bind(wxEVT_TEXT, &CSendMessageDlg::OnText, this);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { HelpBook::ShowTopicFor(this); }, IDC_HELP_BUTTON);
    m_edit->SetFocus();
}

void CSendMessageDlg::OnText(wxCommandEvent&) {
    // The multi-line control has no length limit of its own here: an edit
    // that goes past 200 bytes is undone, as a full edit box refuses it.
    if (Bytes(m_edit->GetValue()) <= users::kMaxMessageBytes) {
        m_lastAccepted = m_edit->GetValue();
        return;
    }
    // Not while the control is still applying the change: that would pull
    // its text out from under it.
    CallAfter([this] {
        const wxString value = m_edit->GetValue();
        if (Bytes(value) <= users::kMaxMessageBytes) return;
        // The caret goes back to where the refused text was put in.
        const long added = static_cast<long>(value.length()) - static_cast<long>(m_lastAccepted.length());
        const long caret = std::clamp(m_edit->GetInsertionPoint() - added, 0L,
                                      static_cast<long>(m_lastAccepted.length()));
        m_edit->ChangeValue(m_lastAccepted);
        m_edit->SetInsertionPoint(caret);
        wxBell();
    });
}

bool CSendMessageDlg::Validate() {
    if (Bytes(m_edit->GetValue()) <= users::kMaxMessageBytes) return wxDialog::Validate();
    const wxString caption = wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("V7");
    wxMessageBox(wxString::Format("Enter no more than %d characters.", static_cast<int>(users::kMaxMessageBytes)),
                 caption, wxOK | wxICON_EXCLAMATION, this);
    m_edit->SetFocus();
    return false;
}
