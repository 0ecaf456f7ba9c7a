// A button drawn from four pictures named after its caption: U normal,
// D pressed, F focused, X disabled. A missing picture falls back to the next
// rule, ending with U.
#pragma once

#include <wx/bitmap.h>
#include <wx/control.h>

class CPictureButton : public wxControl {
public:
    CPictureButton(wxWindow* parent, int id, const wxString& caption, const wxPoint& pos,
                   const wxSize& templateSize);

    // Loads "<CAPTION>U", "D", "F", "X" from the built-in pictures and sizes the
    // button to its U picture, keeping its top-left corner. False when U is missing.
    bool AutoLoad();

    bool IsPressed() const { return m_pressed; }
    // The picture drawn now: 'D', 'F', 'X' or 'U' (0 when there is none).
    char CurrentPicture() const;

    bool AcceptsFocus() const override { return IsEnabled(); }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnMouseDown(wxMouseEvent& event);
    void OnMouseUp(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnFocusChange(wxFocusEvent& event);
    void Click();
    void SetPressed(bool pressed);

    wxBitmap m_up, m_down, m_focus, m_disabled;
    bool m_pressed = false;
    bool m_tracking = false;
};
