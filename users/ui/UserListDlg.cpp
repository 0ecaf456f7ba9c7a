#include "users/ui/UserListDlg.h"

#include <wx/button.h>
#include <wx/listbox.h>

#include "resources/ui/CommandTable.h"
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
    SetClientSize(Size(187, 95));
}

int CUserListDlg::HelpButtonId() { return cmd::ToWxId(cmd::ID_HELP); }

void CUserListDlg::AddHelpButton(int x, int y) {
    new wxButton(this, HelpButtonId(), "&Help", At(x, y), Size(50, 25));
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { HelpBook::ShowTopicFor(this); }, HelpButtonId());
}

int CUserListDlg::DoModal() {
    if (m_list->IsEmpty()) {
        ::ui::ShowMessage(IDS_NO_USER_NAMES, GetParent());
        return wxID_CANCEL;
    }
    CentreOnParent();
    m_list->SetFocus();
    return ShowModal();
}
