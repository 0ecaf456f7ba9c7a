// A check box that only shows a state: a click or Space never changes it, yet
// it looks like (and reads as) an ordinary check box, not a greyed one.
#pragma once

#include <wx/checkbox.h>

class CIndicatorCheckBox : public wxCheckBox {
public:
    CIndicatorCheckBox(wxWindow* parent, int id, const wxString& label, const wxPoint& pos, const wxSize& size);

private:
    void OnMouseDown(wxMouseEvent& event);
    void OnToggle(wxCommandEvent& event);
};
