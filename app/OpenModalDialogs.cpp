#include "app/OpenModalDialogs.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/dialog.h>

#include "app/NativeDialog.h"

int OpenModalDialogs::Enter(wxDialog* dialog) {
    m_open.push_back(dialog);
    return wxID_NONE;  // only watching: the dialog is shown as usual
}

void OpenModalDialogs::Exit(wxDialog* dialog) {
    // Another hook may have answered the dialog without showing it; then there
    // was no Enter here and there is nothing to remove.
    auto it = std::find(m_open.rbegin(), m_open.rend(), dialog);
    if (it != m_open.rend()) m_open.erase(std::next(it).base());
    if (dialog != m_closing) return;
    m_closing = nullptr;
    if (m_afterClosing) wxTheApp->CallAfter(std::move(m_afterClosing));
    m_afterClosing = nullptr;
}

bool OpenModalDialogs::CloseInnermost(std::function<void()> then) {
    wxDialog* dialog = Innermost();
    if (!dialog) return false;
    m_afterClosing = std::move(then);
    if (dialog == m_closing) return true;  // already asked; its loop has not returned yet
    m_closing = dialog;
    if (dialog->IsModal())
        dialog->EndModal(wxID_CANCEL);
    else
        AnswerNativeDialog(dialog);
    return true;
}
