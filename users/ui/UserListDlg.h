// The common frame of the Display Users and Remove User dialogs: the sorted
// list of profile names at the left, push buttons at the right, 187 x 95
// dialog units. When there are no names, message 2200 shows instead and the
// dialog never opens.
#pragma once

#include <initializer_list>

#include <wx/dialog.h>

class wxListBox;

class CUserListDlg : public wxDialog {
public:
    // The Help button: the system's help command 57670, under the wx ID the
    // command table gives it (wx refuses window IDs from 32767 up).
    static int HelpButtonId();

    // Fills the list; the caller runs DoModal.
    CUserListDlg(wxWindow* parent, int templateId, const wxString& caption, int listId);

    // wxID_CANCEL (after message 2200) when there are no names, else ShowModal's result.
    int DoModal();

    wxListBox* List() const { return m_list; }
    // True while the list takes the focus: a selection then is not the person's.
    bool Settling() const { return m_bSettling; }

protected:
    wxPoint At(int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); }
    wxSize Size(int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); }
    // The push buttons at the right (50 x 25 units each), OK the default; the
    // Help button shows this dialog's topic. Then sizes the dialog.
    struct ButtonPlace {
        int Id;
        const char* Label;
        int X, Y;
    };
    void AddButtons(std::initializer_list<ButtonPlace> buttons);

private:
    wxListBox* m_list;
    bool m_bSettling = false;
};
