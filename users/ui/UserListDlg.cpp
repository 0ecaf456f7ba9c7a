#include "users/ui/UserListDlg.h"

#include <wx/button.h>
#include <wx/app.h>
#include <wx/listbox.h>

#include "resources/ui/CommandTable.h"
#include "resources/ui/DialogKeys.h"
#include "resources/ui/HelpBook.h"
#include "resources/ui/MessageBox.h"
#include "users/UserProfiles.h"

namespace {
constexpr unsigned IDS_NO_USER_NAMES = 2200;
}

CUserListDlg::CUserListDlg(wxWindow* parent, int templateId, const wxString& caption, int listId)
    : wxDialog(parent, templateId, caption, wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    // The names come sorted without regard to case, so the list keeps their order.
    m_list = new wxListBox(this, listId, At(5, 7), Size(119, 81), 0, nullptr, wxLB_SINGLE);
    for (const std::string& name : users::FillUserProfileList()) m_list->Append(wxString::FromUTF8(name));
    if (!m_list->IsEmpty()) m_list->SetSelection(wxNOT_FOUND);
}

void CUserListDlg::AddButtons(std::initializer_list<ButtonPlace> buttons) {
    for (const ButtonPlace& b : buttons) new wxButton(this, b.Id, b.Label, At(b.X, b.Y), Size(50, 25));
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { HelpBook::ShowTopicFor(this); }, HelpButtonId());
    static_cast<wxButton*>(FindWindow(wxID_OK))->SetDefault();
    ::ui::EnterPressesDefaultButton(this);
    ::ui::F1ShowsHelpTopic(this);
    // Sized once every control is in: a dialog with a single child stretches it over the whole client area.
    SetClientSize(Size(187, 95));
}

int CUserListDlg::HelpButtonId() { return cmd::ToWxId(cmd::ID_HELP); }

int CUserListDlg::DoModal() {
    if (m_list->IsEmpty()) {
        ::ui::ShowMessage(IDS_NO_USER_NAMES, GetParent());
        return wxID_CANCEL;
    }
    CentreOnParent();
    // The list is the first stop of the Tab order: it takes the focus once the
    // dialog is up. Some toolkits select the first name as the list gets the
    // focus; that is not the person's pick, so it is undone and not reported.
    CallAfter([this] {
        m_bSettling = true;
        m_list->SetFocus();
        wxYield();
        m_list->SetSelection(wxNOT_FOUND);
        m_bSettling = false;
    });
    return ShowModal();
}
