#include "station/ui/IndicatorCheckBox.h"

CIndicatorCheckBox::CIndicatorCheckBox(wxWindow* parent, int id, const wxString& label, const wxPoint& pos,
                                       const wxSize& size)
    : wxCheckBox(parent, id, label, pos, size) {
    // The toolkit toggles on a press (mouse) or on Space: swallowing those keeps
    // the state; the focus still moves here so the label can be read.
    Bind(wxEVT_LEFT_DOWN, &CIndicatorCheckBox::OnMouseDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CIndicatorCheckBox::OnMouseDown, this);
    Bind(wxEVT_LEFT_UP, [](wxMouseEvent&) {});
    Bind(wxEVT_KEY_DOWN, [](wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_SPACE) event.Skip();
    });
    Bind(wxEVT_KEY_UP, [](wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_SPACE) event.Skip();
    });
    Bind(wxEVT_CHAR, [](wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_SPACE) event.Skip();
    });
    // Any toggle that still gets through (assistive tools, another toolkit) is undone.
    Bind(wxEVT_CHECKBOX, &CIndicatorCheckBox::OnToggle, this);
}

void CIndicatorCheckBox::OnMouseDown(wxMouseEvent&) { SetFocus(); }

void CIndicatorCheckBox::OnToggle(wxCommandEvent&) {
    SetValue(!GetValue());  // SetValue sends no event of its own
}
