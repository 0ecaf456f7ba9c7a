#include "panel/PictureBundle.h"

#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include "panel/PictureButton.h"
#include "resources/Bitmaps.h"

namespace {

class CPictureBundleImpl : public wxBitmapBundleImpl {
public:
    // The 1x picture is decoded when first drawn: most pressed, focused and
    // disabled pictures are never needed in a session.
    CPictureBundleImpl(const res::PackedBitmap& normal, const res::EmbeddedFile* double2x)
        : m_size(normal.Width, normal.Height), m_packed(&normal), m_file2x(double2x) {}

    wxSize GetDefaultSize() const override { return m_size; }

    wxSize GetPreferredBitmapSizeAtScale(double scale) const override {
        // Any HiDPI scale takes the 2x picture: GTK scales by whole numbers, and
        // drawing 2x smaller for 1.5 is sharper than drawing 1x larger.
        return scale >= 1.5 && m_file2x ? GetDefaultSize() * 2 : GetDefaultSize();
    }

    wxBitmap GetBitmap(const wxSize& size) override {
        if (size == GetDefaultSize()) return Normal();
        if (size == GetDefaultSize() * 2 && Decode2x()) return m_double;
        // Any other size: scaled from the best picture there is.
        const wxBitmap& best = m_double.IsOk() ? m_double : Normal();
        if (!best.IsOk()) return wxBitmap();
        wxImage image = best.ConvertToImage();
        image.Rescale(size.x, size.y, wxIMAGE_QUALITY_HIGH);
        wxBitmap scaled(image);
        scaled.SetScaleFactor(double(size.x) / GetDefaultSize().x);
        return scaled;
    }

private:
    const wxBitmap& Normal() {
        if (!m_normal.IsOk() && m_packed) {
            m_normal = DecodeBitmap(*m_packed);
            m_packed = nullptr;
        }
        return m_normal;
    }

    bool Decode2x() {
        if (m_double.IsOk()) return true;
        if (!m_file2x || m_tried2x) return false;
        m_tried2x = true;
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
        wxMemoryInputStream stream(m_file2x->Data, m_file2x->Size);
        wxImage image;
        wxLogNull noLog;  // a damaged 2x picture falls back to the 1x one, scaled
        if (!image.LoadFile(stream, wxBITMAP_TYPE_PNG) || image.GetSize() != GetDefaultSize() * 2)
            return false;
        m_double = wxBitmap(image);
        // Drawn at the 1x picture's logical size, two pixels to a unit.
        m_double.SetScaleFactor(2.0);
        return true;
    }

    wxSize m_size;
    wxBitmap m_normal;
    const res::PackedBitmap* m_packed;  // until the 1x picture is decoded
    const res::EmbeddedFile* m_file2x;
    wxBitmap m_double;
    bool m_tried2x = false;
};

}  // namespace

wxBitmapBundle LoadResourceBundle(std::string_view name) {
    const res::PackedBitmap* normal = res::FindBitmapResource(name);
    if (!normal || normal->Width <= 0 || normal->Height <= 0) return wxBitmapBundle();
    return wxBitmapBundle::FromImpl(new CPictureBundleImpl(*normal, res::FindBitmapResource2x(name)));
}
