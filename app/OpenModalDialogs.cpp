#include "app/OpenModalDialogs.h"

#include <algorithm>

int OpenModalDialogs::Enter(wxDialog* dialog) {
    m_open.push_back(dialog);
    return wxID_NONE;  // only watching: the dialog is shown as usual
}

void OpenModalDialogs::Exit(wxDialog* dialog) {
    // Another hook may have answered the dialog without showing it; then there
    // was no Enter here and there is nothing to remove.
    auto it = std::find(m_open.rbegin(), m_open.rend(), dialog);
    if (it != m_open.rend()) m_open.erase(std::next(it).base());
}
