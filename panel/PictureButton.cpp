#include "panel/PictureButton.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/rawbmp.h>

#include "panel/BmpImage.h"
#include "panel/PictureBundle.h"
#include "panel/PictureSurface.h"
#include "resources/Bitmaps.h"

namespace {

// An uncompressed 8-bit-or-less picture as a bitmap; invalid when a pixel does
// not decode.
wxBitmap BitmapFromBmp(const BmpLayout& layout) {
    // Row by row into the bitmap's own pixels: a large picture never exists as
    // a second full-size copy on its way in.
    wxBitmap bitmap(layout.Width, layout.Height, 24);
    wxNativePixelData data(bitmap);
    if (!data) return wxBitmap();
    std::vector<unsigned char> row(static_cast<std::size_t>(layout.Width) * 3);
    wxNativePixelData::Iterator line(data);
    for (int y = 0; y < layout.Height; ++y, line.OffsetY(data, 1)) {
        if (!DecodeBmpRowRgb(layout, static_cast<std::size_t>(y), row.data())) return wxBitmap();
        wxNativePixelData::Iterator pixel = line;
        for (std::size_t i = 0; i < row.size(); i += 3, ++pixel) {
            pixel.Red() = row[i];
            pixel.Green() = row[i + 1];
            pixel.Blue() = row[i + 2];
        }
    }
    return bitmap;
}

}  // namespace

wxBitmap DecodeBitmap(const res::PackedBitmap& packed) {
    const std::vector<unsigned char> file = res::Unpack(packed);
    if (file.empty()) return wxBitmap();
    // The built-in pictures are 8-bit and uncompressed: decoding them here is
    // several times faster than wx's stream reader, which start-up feels
    // (33 pictures). Anything else takes wx's general path.
    if (const std::optional<BmpLayout> layout = ParseBmp(file.data(), file.size())) {
        if (layout->Compression == 0) {
            if (wxBitmap bitmap = BitmapFromBmp(*layout); bitmap.IsOk()) return bitmap;
        }
    }
    wxMemoryInputStream stream(file.data(), file.size());
    wxImage image;
    // Quietly: a damaged picture is treated like a missing one.
    wxLogNull noLog;
    if (!image.LoadFile(stream, wxBITMAP_TYPE_BMP)) return wxBitmap();
    return wxBitmap(image);
}

CPictureButton::CPictureButton(wxWindow* parent, int id, const wxString& caption,
                               const wxPoint& pos, const wxSize& templateSize)
    : m_templateSize(templateSize) {
    // The picture covers the whole button, so the background is never erased
    // first (no flicker).
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, id, pos, templateSize, wxBORDER_NONE | wxTAB_TRAVERSAL);
    SetLabel(caption);

    Bind(wxEVT_PAINT, &CPictureButton::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CPictureButton::OnMouseDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CPictureButton::OnDoubleClick, this);
    Bind(wxEVT_LEFT_UP, &CPictureButton::OnMouseUp, this);
    Bind(wxEVT_MOTION, &CPictureButton::OnMouseMove, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CPictureButton::OnCaptureLost, this);
    Bind(wxEVT_KEY_DOWN, &CPictureButton::OnKeyDown, this);
    Bind(wxEVT_KEY_UP, &CPictureButton::OnKeyUp, this);
    Bind(wxEVT_SET_FOCUS, &CPictureButton::OnFocusChange, this);
    Bind(wxEVT_KILL_FOCUS, &CPictureButton::OnFocusChange, this);
}

CPictureButton::~CPictureButton() = default;

bool CPictureButton::AutoLoad(std::string_view suffix) {
    const std::string base = GetLabel().Upper().ToStdString(wxConvUTF8);
    auto load = [&](const char* state) { return LoadResourceBundle(base + state + std::string(suffix)); };
    const bool loaded = LoadBitmaps(load("U"), load("D"), load("F"), load("X"));
    m_resourceBase = base;
    m_resourceSuffix = suffix;
    return loaded;
}

void CPictureButton::SetDrawSize(const wxSize& size) {
    if (size == m_drawSize) return;
    m_drawSize = size;
    Refresh(false);
}

bool CPictureButton::LoadBitmaps(const wxBitmapBundle& up, const wxBitmapBundle& down,
                                 const wxBitmapBundle& focus, const wxBitmapBundle& disabled) {
    m_up = up;
    m_down = down;
    m_focus = focus;
    m_disabled = disabled;
    m_resourceBase.clear();
    m_resourceSuffix.clear();
    m_corner = wxColour();  // a theme's pictures have their own corner
    for (auto& surface : m_surfaces) surface.reset();
    // Logical size: on a HiDPI screen the layout stays the same.
    const wxSize size = m_up.IsOk() ? m_up.GetDefaultSize() : m_templateSize;
    SetMinSize(size);
    SetSize(wxRect(GetPosition(), size));
    Refresh(false);
    return m_up.IsOk();
}

const wxBitmapBundle* CPictureButton::CurrentBitmap() const {
    // Without its U picture the button draws nothing at all.
    if (!m_up.IsOk()) return nullptr;
    if (m_dimmed) return &m_up;
    if (m_pressed && m_down.IsOk()) return &m_down;
    if (HasFocus() && m_focus.IsOk()) return &m_focus;
    if (!IsEnabled() && m_disabled.IsOk()) return &m_disabled;
    return &m_up;
}

std::size_t CPictureButton::StateIndex(char state) {
    switch (state) {
    case 'D': return 1;
    case 'F': return 2;
    case 'X': return 3;
    default: return 0;
    }
}

char CPictureButton::CurrentPicture() const {
    const wxBitmapBundle* bitmap = CurrentBitmap();
    if (bitmap == &m_down) return 'D';
    if (bitmap == &m_focus) return 'F';
    if (bitmap == &m_disabled) return 'X';
    if (bitmap == &m_up) return 'U';
    return 0;
}

bool CPictureButton::Enable(bool enable) {
    if (!enable) {
        EndTracking();
        m_spaceDown = false;
        SetPressed(false);
        // Keyboard focus left on a disabled button would strand the keyboard
        // and keep showing the focus picture: hand it to the next button.
        if (HasFocus()) PassFocusOn();
    }
    const bool changed = wxControl::Enable(enable);
    Refresh(false);
    return changed;
}

wxColour CPictureButton::CornerColour() {
    if (!m_corner.IsOk()) {
        const wxImage image = m_up.GetBitmap(m_up.GetDefaultSize()).ConvertToImage();
        m_corner = image.IsOk() ? wxColour(image.GetRed(0, 0), image.GetGreen(0, 0), image.GetBlue(0, 0))
                                : GetParent()->GetBackgroundColour();
    }
    return m_corner;
}

void CPictureButton::SetDimmed(bool dimmed) {
    m_dimmed = dimmed;
    if (dimmed) Enable(false);
    Refresh(false);
}

void CPictureButton::PassFocusOn() {
    // The next sibling in tab order that takes the focus, wrapping around.
    const wxWindowList& siblings = GetParent()->GetChildren();
    const std::vector<wxWindow*> order(siblings.begin(), siblings.end());
    const auto self = std::find(order.begin(), order.end(), this);
    if (self == order.end()) return;
    const std::size_t start = static_cast<std::size_t>(self - order.begin());
    for (std::size_t step = 1; step < order.size(); ++step) {
        wxWindow* next = order[(start + step) % order.size()];
        if (next->CanAcceptFocus()) {
            next->SetFocus();
            return;
        }
    }
}

wxSize CPictureButton::DoGetBestSize() const {
    return m_up.IsOk() ? m_up.GetDefaultSize() : m_templateSize;
}

void CPictureButton::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    // Without any picture the button draws nothing; it still takes clicks.
    // The bundle picks the picture for this window's scale (2x only where needed).
    const wxBitmapBundle* bitmap = CurrentBitmap();
    if (!bitmap) return;
    const wxSize size = m_drawSize.x > 0 && m_drawSize.y > 0 ? m_drawSize : GetClientSize();
    // A built-in picture is kept by the display; others are drawn from the bundle.
    if (!m_resourceBase.empty()) {
        const char state = CurrentPicture();
        std::unique_ptr<PictureSurface>& surface = m_surfaces[StateIndex(state)];
        if (!surface) surface = std::make_unique<PictureSurface>(m_resourceBase + state + m_resourceSuffix);
        if (surface->Paint(dc, size.x, size.y)) {
            // Washed out with the colour of the picture's corner, which is the
            // panel's own colour around the button.
            if (m_dimmed) PictureSurface::Wash(dc, CornerColour(), 0.6);
            return;
        }
    }
    const wxSize picture = bitmap->GetDefaultSize();
    if (size != picture) dc.SetUserScale(double(size.x) / picture.x, double(size.y) / picture.y);
    dc.DrawBitmap(bitmap->GetBitmapFor(this), 0, 0, false);
}

void CPictureButton::OnMouseDown(wxMouseEvent& event) {
    if (!IsEnabled()) return;
    // Like a push button, a click takes the keyboard focus.
    if (!HasFocus()) SetFocus();
    if (!HasCapture()) CaptureMouse();
    m_tracking = true;
    SetPressed(true);
}

void CPictureButton::OnDoubleClick(wxMouseEvent&) {
    // The second press of a double-click is not a click of its own: the first
    // press already clicked. Some toolkits deliver a plain press just before
    // the double-click; that press ends here too, so its release clicks nothing.
    EndTracking();
    SetPressed(false);
}

void CPictureButton::OnMouseMove(wxMouseEvent& event) {
    if (m_tracking) SetPressed(GetClientRect().Contains(event.GetPosition()));
    event.Skip();
}

void CPictureButton::OnMouseUp(wxMouseEvent& event) {
    if (!m_tracking) return;
    const bool inside = GetClientRect().Contains(event.GetPosition());
    EndTracking();
    SetPressed(false);
    if (inside) Click();
}

void CPictureButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
    m_tracking = false;
    SetPressed(false);
}

void CPictureButton::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_SPACE:
        // Auto-repeat sends more key-downs; the click comes once, on release.
        if (!m_spaceDown) {
            m_spaceDown = true;
            SetPressed(true);
        }
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        Click();
        return;
    default:
        event.Skip();
    }
}

void CPictureButton::OnKeyUp(wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_SPACE || !m_spaceDown) {
        event.Skip();
        return;
    }
    m_spaceDown = false;
    const bool wasPressed = m_pressed;
    SetPressed(false);
    if (wasPressed) Click();
}

void CPictureButton::OnFocusChange(wxFocusEvent& event) {
    // A press held with the keyboard ends without a click when focus moves away.
    if (event.GetEventType() == wxEVT_KILL_FOCUS && m_spaceDown) {
        m_spaceDown = false;
        SetPressed(false);
    }
    Refresh(false);
    event.Skip();
}

void CPictureButton::Click() {
    if (!IsEnabled()) return;
    wxCommandEvent click(wxEVT_BUTTON, GetId());
    click.SetEventObject(this);
    ProcessWindowEvent(click);
}

void CPictureButton::SetPressed(bool pressed) {
    if (m_pressed == pressed) return;
    m_pressed = pressed;
    Refresh(false);
}

void CPictureButton::EndTracking() {
    m_tracking = false;
    if (HasCapture()) ReleaseMouse();
}
