// The common frame of the Display Users and Remove User dialogs: the sorted
// list of profile names at the left, push buttons at the right, 187 x 95
// dialog units. When there are no names, message 2200 shows instead and the
// dialog never opens.
#pragma once

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

protected:
    wxPoint At(int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); }
    wxSize Size(int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); }
    // The Help button at the given place, showing this dialog's topic.
    void AddHelpButton(int x, int y);

private:
    wxListBox* m_list;
};
