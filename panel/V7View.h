// The control panel that fills the main window: the background picture with
// eight picture buttons. A button sends its command to the parent window as a
// menu command event, so the frame routes it as it routes the menu's.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include <wx/bitmap.h>
#include <wx/brush.h>
#include <wx/bmpbndl.h>
#include <wx/panel.h>
#include <wx/palette.h>

class PictureSurface;
class CPictureButton;
class wxDC;
class wxStaticText;

class CV7View : public wxPanel {
public:
    // Control IDs of the panel's buttons.
    enum : int {
        IDC_BROADCAST = 1004,
        IDC_EXIT = 1007,
        IDC_HELP_BUTTON = 1008,
        IDC_OFF = 1009,
        IDC_ON = 1010,
        IDC_OPTIONS = 1011,
        IDC_TEST = 1016,
        IDC_USER = 1017,
    };

    // The form: 300 x 203 dialog units, 450 x 330 pixels at the standard
    // dialog base units of 6 x 13.
    static constexpr int kFormWidth = 450;
    static constexpr int kFormHeight = 330;

    // A text the panel's pictures carry and the box the design gives it, in
    // form pixels: on the background, or inside the button it captions
    // (Owner). Px: its font size in the pictures, in form pixels.
    struct Label {
        const char* Text;
        int Owner;  // a button's control ID; 0 for the background
        double Px;
        bool Bold;
        wxRect Box;
    };
    static std::span<const Label> Labels();

    explicit CV7View(wxWindow* parent);
    ~CV7View() override;

    // Sizes the parent to the form at the panel's zoom, attaches the pictures
    // of the desktop's theme, sets On/Off from the station's state and loads
    // the background (and its palette on palette displays).
    void OnInitialUpdate(bool stationOn);

    // A rectangle of the form in the window: the background's scale applies to
    // every part of the panel alike.
    wxRect ToWindow(const wxRect& formRect) const;
    // True while the pictures are the dark theme's.
    bool IsDark() const { return m_dark; }

    // Exactly one of On and Off enabled: Off while the station is on; neither
    // while the drivers are not running.
    void EnableOnOffButtons(bool stationOn);
    // Without the drivers the On/Off pair is greyed and a line under the
    // panel's tasks says so; with them the pair follows the station again.
    void ShowDriversRunning(bool running);
    bool DriversRunning() const { return m_driversRunning; }
    // The line that says the drivers are not running (hidden while they run).
    wxStaticText* DriversState() const { return m_txtDrivers; }

    CPictureButton* Button(int controlId) const;
    // The system command number a button sends; 0 for no button of the panel.
    static int CommandOf(int controlId);
    // The background's palette; null on displays that are not palette-based.
    const wxPalette* Palette() const { return m_palBackground.get(); }
    bool HasBackground() const { return m_bmpBackground.IsOk(); }
    // The background picture, 1x and 2x; invalid when there is none.
    const wxBitmapBundle& Background() const { return m_bmpBackground; }

    // Paints the background over the client area: from the surface kept for
    // it, or (on a palette display, or a DC without one) from the picture.
    void DrawBackground(wxDC& dc);

    // A palette from the colour table of a BMP file image; null when the image
    // has none or is damaged.
    static std::unique_ptr<wxPalette> MakePalette(const unsigned char* bmp, std::size_t size);

private:
    void CreateButtons();
    void LoadPictures();
    void LoadBackground();
    void LayOut();
    // How much larger than its pictures' 1x pixels the form is laid out: the
    // interface font's size against the one the pictures were drawn for, in
    // quarter steps, never below 1 and no larger than the screen allows.
    double FontZoom() const;
    std::string Themed(const std::string& name) const;
    void OnSize(wxSizeEvent& event);
    void OnThemeChanged(wxSysColourChangedEvent& event);
    wxBitmap BackgroundFor(const wxSize& client);
    void OnPaint(wxPaintEvent& event);
    void OnButton(wxCommandEvent& event);
#ifdef __WXMSW__
    // There a label has a window of its own: the background shows through it
    // as a brush of the picture at the client size.
    WXHBRUSH MSWGetCustomBgBrush() override;
    wxBrush m_brushBackground;
    wxSize m_brushSize;
    bool m_brushDark = false;
#endif

    CPictureButton* m_btnUser = nullptr;
    CPictureButton* m_btnTest = nullptr;
    CPictureButton* m_btnOptions = nullptr;
    CPictureButton* m_btnBroadcast = nullptr;
    CPictureButton* m_btnOn = nullptr;
    CPictureButton* m_btnOff = nullptr;
    CPictureButton* m_btnHelp = nullptr;
    CPictureButton* m_btnExit = nullptr;
    wxStaticText* m_txtDrivers = nullptr;
    bool m_driversRunning = true;
    bool m_stationOn = false;
    wxBitmapBundle m_bmpBackground;
    std::unique_ptr<PictureSurface> m_surfBackground;  // the picture as the display keeps it
    wxBitmap m_bmpStretched;  // the background at the last client size and scale, when it differs
    std::unique_ptr<wxPalette> m_palBackground;  // only on palette displays
    bool m_dark = false;
};
