// An edit whose limit counts bytes as the text is stored (UTF-8), not
// characters: a letter with an accent takes two of them.
#pragma once

#include <cstddef>

#include <wx/string.h>

class wxCommandEvent;
class wxTextCtrl;

namespace options::ui {

// The bytes text takes as stored.
std::size_t StoredBytes(const wxString& text);

// Keeps an edit within a limit as the person types or pastes: what goes in is
// cut on a character boundary to what still fits (with a beep), what was there
// stays. A longer text shown with Show (one stored before) stays whole and may
// be shortened, never lengthened.
class ByteLimitedEdit {
public:
    ByteLimitedEdit(wxTextCtrl* edit, std::size_t limit);

    void Show(const wxString& text);

private:
    void OnText(wxCommandEvent& event);
    std::size_t Budget() const;

    wxTextCtrl* m_edit;
    std::size_t m_limit;
    wxString m_accepted;  // the text as it last kept within the budget
};

}  // namespace options::ui
