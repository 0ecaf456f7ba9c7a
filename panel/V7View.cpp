#include "panel/V7View.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include <wx/dc.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/math.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include "resources/ui/CommandTable.h"
#include "panel/BackgroundPalette.h"
#include "panel/PictureSurface.h"
#include "panel/PictureBundle.h"
#include "panel/PictureButton.h"
#include "resources/Bitmaps.h"

namespace {

// Dialog units to pixels at the standard dialog base units of 6 x 13, rounded
// to the nearest pixel as the dialog manager does. The pictures are drawn for
// exactly these positions, so the font-dependent wx dialog units are not used.
constexpr int DluToPixelsX(int x) { return (x * 6 + 2) / 4; }
constexpr int DluToPixelsY(int y) { return (y * 13 + 4) / 8; }
static_assert(DluToPixelsX(300) == CV7View::kFormWidth && DluToPixelsY(203) == CV7View::kFormHeight);

struct ButtonTemplate {
    int Id;
    const char* Caption;
    int X, Y, Width, Height;  // dialog units
};

// The form's buttons in tab order.
constexpr ButtonTemplate kButtons[] = {
    {CV7View::IDC_BROADCAST, "Broadcast", 15, 30, 120, 20},
    {CV7View::IDC_USER, "User", 15, 60, 120, 20},
    {CV7View::IDC_OPTIONS, "Options", 15, 90, 120, 20},
    {CV7View::IDC_TEST, "Test", 15, 120, 120, 20},
    {CV7View::IDC_ON, "On", 135, 182, 30, 14},
    {CV7View::IDC_OFF, "Off", 165, 182, 32, 14},
    {CV7View::IDC_HELP_BUTTON, "Help", 220, 160, 39, 16},
    {CV7View::IDC_EXIT, "Exit", 220, 180, 39, 16},
};

// The texts in the pictures and the room the design leaves each (see Label).
const CV7View::Label kLabels[] = {
    {"Orvane V7 Control Center", 0, 16, true, {54, 6, 300, 28}},
    {"two-user PC", 0, 10, false, {360, 12, 70, 16}},
    {"One PC, two desks", 0, 12, true, {262, 62, 162, 18}},
    {"Host PC", 0, 11, true, {263, 174, 80, 16}},
    {"V7 Station", 0, 11, true, {343, 174, 80, 16}},
    {"Each user has a keyboard,", 0, 10, false, {262, 210, 162, 14}},
    {"mouse and display.", 0, 10, false, {262, 224, 162, 14}},
    {"V7 Station power", 0, 11, true, {86, 297, 114, 17}},
    {"Send a message", CV7View::IDC_BROADCAST, 14, true, {69, 59, 154, 24}},
    {"Remove a user", CV7View::IDC_USER, 14, true, {69, 108, 154, 24}},
    {"Station options", CV7View::IDC_OPTIONS, 14, true, {69, 156, 154, 24}},
    {"Test the station", CV7View::IDC_TEST, 14, true, {69, 205, 154, 24}},
    {"On", CV7View::IDC_ON, 11, true, {206, 298, 39, 16}},
    {"Off", CV7View::IDC_OFF, 11, true, {254, 298, 40, 16}},
    {"Help", CV7View::IDC_HELP_BUTTON, 12, true, {373, 264, 52, 16}},
    {"Exit", CV7View::IDC_EXIT, 12, true, {373, 297, 52, 16}},
};

// A line of the interface font the pictures were drawn for (10 points at 96
// dots per inch), in pixels.
constexpr int kDesignLineHeight = 17;
// Room around the form for the frame, its title and its menu bar, so a zoomed
// form still fits on the screen.
constexpr int kFrameAllowance = 120;
// Where the panel says the drivers are not running: above the power switch,
// ending where the Off button ends.
constexpr ButtonTemplate kDriversState = {0, "Station drivers not running", 20, 166, 177, 10};

// The order in which the buttons take their pictures.
constexpr int kLoadOrder[] = {
    CV7View::IDC_USER, CV7View::IDC_OPTIONS, CV7View::IDC_TEST, CV7View::IDC_BROADCAST,
    CV7View::IDC_ON,   CV7View::IDC_OFF,     CV7View::IDC_HELP_BUTTON, CV7View::IDC_EXIT,
};

}  // namespace

CV7View::CV7View(wxWindow* parent) {
    // The background covers the whole panel: no erase, no flicker.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, wxID_ANY, wxDefaultPosition, wxSize(kFormWidth, kFormHeight),
           wxTAB_TRAVERSAL | wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
    CreateButtons();
    Bind(wxEVT_PAINT, &CV7View::OnPaint, this);
    Bind(wxEVT_BUTTON, &CV7View::OnButton, this);
    Bind(wxEVT_SIZE, &CV7View::OnSize, this);
    Bind(wxEVT_SYS_COLOUR_CHANGED, &CV7View::OnThemeChanged, this);
}

CV7View::~CV7View() = default;

std::span<const CV7View::Label> CV7View::Labels() { return kLabels; }

double CV7View::FontZoom() const {
    const double ratio = double(GetCharHeight()) / kDesignLineHeight;
    // Quarter steps, up from a fifth of a step over: a font a little larger
    // than the design's keeps the pictures pixel for pixel.
    double zoom = std::max(1.0, std::ceil(ratio * 4 - 0.2) / 4);
    const wxRect screen = wxDisplay(GetParent()).GetClientArea();
    const double fits = std::min(double(screen.width) / kFormWidth,
                                 double(screen.height - kFrameAllowance) / kFormHeight);
    if (fits > 0) zoom = std::min(zoom, std::max(1.0, std::floor(fits * 4) / 4));
    return zoom;
}

wxRect CV7View::ToWindow(const wxRect& formRect) const {
    // Edges, not sizes, are scaled: neighbours that meet on the form meet here.
    const wxSize client = GetClientSize();
    const double sx = double(client.x) / kFormWidth, sy = double(client.y) / kFormHeight;
    const int left = wxRound(formRect.x * sx), top = wxRound(formRect.y * sy);
    return wxRect(left, top, wxRound((formRect.x + formRect.width) * sx) - left,
                  wxRound((formRect.y + formRect.height) * sy) - top);
}

std::string CV7View::Themed(const std::string& name) const {
    // A picture without a dark version keeps its own colours.
    const std::string dark = name + "_DARK";
    return m_dark && res::FindBitmapResource(dark) ? dark : name;
}

void CV7View::LoadPictures() {
    // A button without pictures keeps its template size and still works.
    for (int id : kLoadOrder) {
        const std::string base = Button(id)->GetLabel().Upper().ToStdString();
        Button(id)->AutoLoad(Themed(base + "U").substr(base.size() + 1));  // "" or "_DARK"
    }
    LoadBackground();
    // The drivers line in a red that reads on the theme's background.
    m_txtDrivers->SetForegroundColour(m_dark ? wxColour(0xFF, 0x8A, 0x80) : wxColour(0xB0, 0x20, 0x20));
    LayOut();
}

void CV7View::LayOut() {
    // Each button's place on the form: its template corner, its picture's size.
    // Where two pictures overlap (the power pair shares its plain edges), the
    // left one ends where the right one starts, so no control covers another.
    std::vector<wxRect> rects;
    for (const ButtonTemplate& t : kButtons)
        rects.emplace_back(wxPoint(DluToPixelsX(t.X), DluToPixelsY(t.Y)), Button(t.Id)->GetBestSize());
    for (wxRect& a : rects)
        for (const wxRect& b : rects)
            if (&a != &b && a.x < b.x && a.Intersects(b)) a.width = b.x - a.x;
    const wxSize client = GetClientSize();
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        CPictureButton* button = Button(kButtons[i].Id);
        const wxSize picture = button->GetBestSize();
        button->SetDrawSize(wxSize(wxRound(picture.x * double(client.x) / kFormWidth),
                                   wxRound(picture.y * double(client.y) / kFormHeight)));
        button->SetSize(ToWindow(rects[i]));
    }
    const ButtonTemplate& t = kDriversState;
    m_txtDrivers->SetSize(ToWindow(wxRect(DluToPixelsX(t.X), DluToPixelsY(t.Y), DluToPixelsX(t.Width),
                                          DluToPixelsY(t.Height))));
}

void CV7View::OnSize(wxSizeEvent& event) {
    LayOut();
    event.Skip();
}

void CV7View::OnThemeChanged(wxSysColourChangedEvent& event) {
    const bool dark = wxSystemSettings::GetAppearance().IsDark();
    if (dark != m_dark) {
        m_dark = dark;
        LoadPictures();
        Refresh(false);
    }
    event.Skip();
}

void CV7View::CreateButtons() {
    for (const ButtonTemplate& t : kButtons) {
        auto* button = new CPictureButton(
            this, t.Id, t.Caption, wxPoint(DluToPixelsX(t.X), DluToPixelsY(t.Y)),
            wxSize(DluToPixelsX(t.Width), DluToPixelsY(t.Height)));
        switch (t.Id) {
        case IDC_BROADCAST: m_btnBroadcast = button; break;
        case IDC_USER: m_btnUser = button; break;
        case IDC_OPTIONS: m_btnOptions = button; break;
        case IDC_TEST: m_btnTest = button; break;
        case IDC_ON: m_btnOn = button; break;
        case IDC_OFF: m_btnOff = button; break;
        case IDC_HELP_BUTTON: m_btnHelp = button; break;
        case IDC_EXIT: m_btnExit = button; break;
        }
    }
    const ButtonTemplate& t = kDriversState;
    m_txtDrivers = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(t.Caption),
                                    wxPoint(DluToPixelsX(t.X), DluToPixelsY(t.Y)),
                                    wxSize(DluToPixelsX(t.Width), DluToPixelsY(t.Height)),
                                    wxALIGN_RIGHT | wxST_NO_AUTORESIZE);
    m_txtDrivers->SetFont(m_txtDrivers->GetFont().Bold());
    m_txtDrivers->Hide();
}

CPictureButton* CV7View::Button(int controlId) const {
    switch (controlId) {
    case IDC_BROADCAST: return m_btnBroadcast;
    case IDC_USER: return m_btnUser;
    case IDC_OPTIONS: return m_btnOptions;
    case IDC_TEST: return m_btnTest;
    case IDC_ON: return m_btnOn;
    case IDC_OFF: return m_btnOff;
    case IDC_HELP_BUTTON: return m_btnHelp;
    case IDC_EXIT: return m_btnExit;
    default: return nullptr;
    }
}

void CV7View::OnInitialUpdate(bool stationOn) {
    // The form grows with the interface font, so its text grows with the
    // rest of the desktop's.
    const double zoom = FontZoom();
    m_dark = wxSystemSettings::GetAppearance().IsDark();
    GetParent()->SetClientSize(wxRound(kFormWidth * zoom), wxRound(kFormHeight * zoom));
    LoadPictures();

    EnableOnOffButtons(stationOn);

    // Nothing pretends to work: a task whose feature is missing is greyed.
    const std::pair<CPictureButton*, int> tasks[] = {
        {m_btnBroadcast, cmd::ID_SEND_MESSAGE},
        {m_btnUser, cmd::ID_REMOVE_USER},
        {m_btnOptions, cmd::ID_STATION_OPTIONS},
        {m_btnTest, cmd::ID_STATION_TEST},
    };
    for (const auto& [button, command] : tasks)
        if (!cmd::IsAvailable(command)) button->Disable();

    for (const ButtonTemplate& t : kButtons) {
        CPictureButton* button = Button(t.Id);
        if (button->CanAcceptFocus()) {
            button->SetFocus();
            break;
        }
    }
    Refresh(false);
}

void CV7View::EnableOnOffButtons(bool stationOn) {
    m_stationOn = stationOn;
    // Enable before disable, so that focus leaving the disabled button can land
    // on its partner.
    CPictureButton* enabled = stationOn ? m_btnOff : m_btnOn;
    CPictureButton* disabled = stationOn ? m_btnOn : m_btnOff;
    enabled->SetDimmed(!m_driversRunning);
    disabled->SetDimmed(!m_driversRunning);
    if (!m_driversRunning) return;
    enabled->Enable(true);
    disabled->Enable(false);
}

void CV7View::ShowDriversRunning(bool running) {
    if (running == m_driversRunning) return;
    m_driversRunning = running;
    m_txtDrivers->Show(!running);
    const wxString tip = running ? wxString() : m_txtDrivers->GetLabel();
    m_btnOn->SetToolTip(tip);
    m_btnOff->SetToolTip(tip);
    EnableOnOffButtons(m_stationOn);
}

void CV7View::LoadBackground() {
    const std::string name = Themed("V7BG");
    m_bmpBackground = LoadResourceBundle(name);
    m_bmpStretched = wxBitmap();
    m_surfBackground.reset();
    m_palBackground.reset();
    if (!m_bmpBackground.IsOk()) return;
    m_surfBackground = std::make_unique<PictureSurface>(name);
    // Only a display with a colour palette needs the picture's own colours realised.
    if (wxDisplayDepth() <= 8) {
        const std::vector<unsigned char> file = res::Unpack(*res::FindBitmapResource(name));
        m_palBackground = MakePalette(file.data(), file.size());
    }
}

std::unique_ptr<wxPalette> CV7View::MakePalette(const unsigned char* bmp, std::size_t size) {
    const std::optional<LogicalPalette> logical = BuildBackgroundPalette(bmp, size);
    if (!logical || logical->Entries.empty()) return nullptr;
    std::vector<unsigned char> red, green, blue;
    for (const PaletteEntry& entry : logical->Entries) {
        red.push_back(entry.Red);
        green.push_back(entry.Green);
        blue.push_back(entry.Blue);
    }
    auto palette = std::make_unique<wxPalette>(static_cast<int>(red.size()), red.data(),
                                               green.data(), blue.data());
    if (!palette->IsOk()) return nullptr;
    return palette;
}

wxBitmap CV7View::BackgroundFor(const wxSize& client) {
    // The picture for this screen's scale: 2x pixels on a HiDPI screen, with
    // the same logical size as the 1x picture.
    const wxBitmap picture = m_bmpBackground.GetBitmapFor(this);
    if (client == m_bmpBackground.GetDefaultSize()) return picture;
    const double scale = picture.GetScaleFactor();
    if (!m_bmpStretched.IsOk() || m_bmpStretched.GetLogicalSize() != client ||
        m_bmpStretched.GetScaleFactor() != scale) {
        wxImage image = picture.ConvertToImage();
        image.Rescale(wxRound(client.x * scale), wxRound(client.y * scale), wxIMAGE_QUALITY_HIGH);
        m_bmpStretched = wxBitmap(image);
        m_bmpStretched.SetScaleFactor(scale);
    }
    return m_bmpStretched;
}

void CV7View::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    DrawBackground(dc);
}

void CV7View::DrawBackground(wxDC& dc) {
    const wxSize client = GetClientSize();
    if (!m_bmpBackground.IsOk() || client.x <= 0 || client.y <= 0) {
        // No picture: the form's plain background.
        dc.SetBackground(wxBrush(GetBackgroundColour()));
        dc.Clear();
        return;
    }
    if (!m_palBackground && m_surfBackground && m_surfBackground->Paint(dc, client.x, client.y)) return;
    if (m_palBackground) dc.SetPalette(*m_palBackground);
    dc.DrawBitmap(BackgroundFor(client), 0, 0, false);
}

void CV7View::OnButton(wxCommandEvent& event) {
    // The parent handles the command at once, as for a menu pick; each handler
    // makes its own checks, whatever the menu shows.
    const int command = CommandOf(event.GetId());
    if (command == 0) {
        event.Skip();
        return;
    }
    wxCommandEvent menuEvent(wxEVT_MENU, cmd::ToWxId(command));
    menuEvent.SetEventObject(this);
    GetParent()->GetEventHandler()->ProcessEvent(menuEvent);
}

int CV7View::CommandOf(int controlId) {
    switch (controlId) {
    case IDC_BROADCAST: return cmd::ID_SEND_MESSAGE;
    case IDC_USER: return cmd::ID_REMOVE_USER;
    case IDC_OPTIONS: return cmd::ID_STATION_OPTIONS;
    case IDC_TEST: return cmd::ID_STATION_TEST;
    case IDC_ON: return cmd::ID_STATION_ON;
    case IDC_OFF: return cmd::ID_STATION_OFF;
    case IDC_HELP_BUTTON: return cmd::ID_HELP;
    case IDC_EXIT: return cmd::ID_EXIT;
    default: return 0;
    }
}
