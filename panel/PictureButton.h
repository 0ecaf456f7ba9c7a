// A button drawn from four pictures named after its caption: U normal,
// D pressed, F focused, X disabled. A missing picture falls back to the next
// rule, ending with U; without U the button keeps its size and draws nothing.
// A double-click is one click.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>
#include <wx/control.h>

namespace res {
struct PackedBitmap;
}
// A built-in picture, unpacked and decoded; invalid when its bytes do not decode.
wxBitmap DecodeBitmap(const res::PackedBitmap& packed);

class PictureSurface;

class CPictureButton : public wxControl {
public:
    CPictureButton(wxWindow* parent, int id, const wxString& caption, const wxPoint& pos,
                   const wxSize& templateSize);

    // Loads "<CAPTION>U", "D", "F", "X" from the built-in pictures (with their 2x
    // versions; "<CAPTION>U<suffix>" and so on with a suffix) and sizes the
    // button to its U picture, keeping its top-left corner. False when U is missing.
    bool AutoLoad(std::string_view suffix = {});
    // Takes the four pictures (an invalid bundle stands for a missing one) and
    // sizes the button to the U picture's logical size, or to its template size
    // without one. False without U.
    bool LoadBitmaps(const wxBitmapBundle& up, const wxBitmapBundle& down,
                     const wxBitmapBundle& focus, const wxBitmapBundle& disabled);

    // The size the pictures are drawn at from the top-left corner (a zoomed
    // panel's); the window shows what falls inside it. Empty: the window's size.
    void SetDrawSize(const wxSize& size);

    bool IsPressed() const { return m_pressed; }
    // The picture drawn now: 'D', 'F', 'X' or 'U' (0 when there is none).
    char CurrentPicture() const;

    // Greyed without a state of its own to show: disabled and drawn as its U
    // picture washed out, not as its X picture (which may show a state).
    // Undimmed, it stays disabled until enabled.
    void SetDimmed(bool dimmed);
    bool IsDimmed() const { return m_dimmed; }

    bool AcceptsFocus() const override { return IsEnabled(); }
    bool Enable(bool enable = true) override;
    ~CPictureButton() override;

protected:
    wxSize DoGetBestSize() const override;

private:
    const wxBitmapBundle* CurrentBitmap() const;
    void OnPaint(wxPaintEvent& event);
    void OnMouseDown(wxMouseEvent& event);
    void OnDoubleClick(wxMouseEvent& event);
    void OnMouseUp(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnFocusChange(wxFocusEvent& event);
    void Click();
    void SetPressed(bool pressed);
    void EndTracking();
    void PassFocusOn();

    static std::size_t StateIndex(char state);
    wxColour CornerColour();

    wxSize m_templateSize;
    wxBitmapBundle m_up, m_down, m_focus, m_disabled;
    std::string m_resourceBase;  // "<CAPTION>" when the pictures are the built-in ones
    std::string m_resourceSuffix;
    wxSize m_drawSize;
    std::array<std::unique_ptr<PictureSurface>, 4> m_surfaces;  // U, D, F, X as the display keeps them
    bool m_pressed = false;
    bool m_tracking = false;  // mouse captured after a press inside
    bool m_spaceDown = false;
    bool m_dimmed = false;
    wxColour m_corner;  // of the U picture, once asked for
};
