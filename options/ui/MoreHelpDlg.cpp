#include "options/ui/MoreHelpDlg.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>
#include <wx/weakref.h>

#include "options/ui/DialogText.h"
#include "options/ui/UrlLauncher.h"
#include "resources/ui/DialogKeys.h"

namespace {

constexpr unsigned IDS_CONTACT_TEXT = 1400;
constexpr unsigned IDS_WEB_SITE = 1401;
constexpr unsigned IDS_SUPPORT_MAIL = 1402;
constexpr unsigned IDS_CANNOT_OPEN = 1403;

void ReportCannotOpen(const wxString& target, wxWindow* parent) {
    wxString text = options::ui::StringText(IDS_CANNOT_OPEN);
    text.Replace("%s", target, false);
    wxMessageBox(text, wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("V7"), wxOK, parent);
}

}  // namespace

CMoreHelpDlg::CMoreHelpDlg(wxWindow* parent) : wxDialog(parent, IDD, "More help") {
    using options::ui::DialogRect;
    SetClientSize(ConvertDialogToPixels(wxSize(148, 167)));

    // Template order is the Tab order: OK, the text (no tab stop), Internet, Email.
    const wxRect ok = DialogRect(this, 101, 146, 40, 14);
    auto* okButton = new wxButton(this, wxID_OK, "&OK", ok.GetPosition(), ok.GetSize());
    const wxRect contact = DialogRect(this, 7, 7, 134, 130);
    auto* text = new wxTextCtrl(this, IDC_CONTACT, "", contact.GetPosition(), contact.GetSize(),
                                wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxBORDER_NONE,
                                wxTextValidator(wxFILTER_NONE, &m_strContactText));
    text->DisableFocusFromKeyboard();
    text->SetBackgroundColour(GetBackgroundColour());
    // Enter in the text is its own (want-return): it never presses OK.
    text->Bind(wxEVT_KEY_DOWN, [](wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_RETURN && event.GetKeyCode() != WXK_NUMPAD_ENTER) event.Skip();
    });
    const wxRect internet = DialogRect(this, 54, 146, 40, 14);
    new wxButton(this, IDC_INTERNET, "&Internet", internet.GetPosition(), internet.GetSize());
    const wxRect email = DialogRect(this, 7, 146, 40, 14);
    new wxButton(this, IDC_EMAIL, "&Email", email.GetPosition(), email.GetSize());

    okButton->SetDefault();
    ui::EnterPressesDefaultButton(this, {text});
    okButton->SetFocus();
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OpenHelpTarget(IDS_WEB_SITE); }, IDC_INTERNET);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OpenHelpTarget(IDS_SUPPORT_MAIL); }, IDC_EMAIL);
    ui::F1ShowsHelpTopic(this);

    // The text is in the edit before the box first shows.
    m_strContactText = options::ui::ForDisplay(options::ui::StringText(IDS_CONTACT_TEXT).utf8_string());
    TransferDataToWindow();
    CentreOnParent();
}

void CMoreHelpDlg::OpenHelpTarget(unsigned stringId) {
    const wxString target = options::ui::StringText(stringId);
    // The handler may fail after this box has closed: the message then has no parent.
    wxWeakRef<wxWindow> self(this);
    const bool started = options::ui::OpenUrl(target, [self, target] { ReportCannotOpen(target, self.get()); });
    if (!started) ReportCannotOpen(target, this);
}
