#include "options/ui/ByteLimitedEdit.h"

#include <algorithm>

#include <wx/textctrl.h>
#include <wx/utils.h>

namespace options::ui {
namespace {

// after cut to budget bytes by shortening only what the change put in (the
// part between what before and after share at both ends); where the caret goes.
wxString Fit(const wxString& before, const wxString& after, std::size_t budget, long& caret) {
    std::size_t head = 0;
    while (head < before.length() && head < after.length() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.length() - head && tail < after.length() - head &&
           before[before.length() - 1 - tail] == after[after.length() - 1 - tail])
        ++tail;
    const wxString added = after.Mid(head, after.length() - head - tail);
    std::size_t room = budget - std::min(budget, StoredBytes(after.Left(head) + after.Right(tail)));
    wxString fits;
    for (const wxUniChar c : added) {
        const std::size_t bytes = StoredBytes(wxString(c));
        if (bytes > room) break;
        fits += c;
        room -= bytes;
    }
    caret = static_cast<long>(head + fits.length());
    return after.Left(head) + fits + after.Right(tail);
}

}  // namespace

std::size_t StoredBytes(const wxString& text) { return text.utf8_string().size(); }

ByteLimitedEdit::ByteLimitedEdit(wxTextCtrl* edit, std::size_t limit)
    : m_edit(edit), m_limit(limit), m_accepted(edit->GetValue()) {
    m_edit->Bind(wxEVT_TEXT, &ByteLimitedEdit::OnText, this);
}

void ByteLimitedEdit::Show(const wxString& text) {
    m_accepted = text;
    m_edit->ChangeValue(text);
}

std::size_t ByteLimitedEdit::Budget() const { return std::max(m_limit, StoredBytes(m_accepted)); }

void ByteLimitedEdit::OnText(wxCommandEvent& event) {
    event.Skip();
    if (StoredBytes(m_edit->GetValue()) <= Budget()) {
        m_accepted = m_edit->GetValue();
        return;
    }
    // Not while the control is still applying the change.
    m_edit->CallAfter([this] {
        const wxString value = m_edit->GetValue();
        if (StoredBytes(value) <= Budget()) return;
        long caret = 0;
        m_accepted = Fit(m_accepted, value, Budget(), caret);
        m_edit->ChangeValue(m_accepted);
        m_edit->SetInsertionPoint(caret);
        wxBell();
    });
}

}  // namespace options::ui
