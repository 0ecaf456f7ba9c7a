#include "panel/PictureBundle.h"

#include <string>

#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include "panel/PictureButton.h"
#include "resources/Bitmaps.h"

namespace {

class CPictureBundleImpl : public wxBitmapBundleImpl {
public:
    CPictureBundleImpl(const wxBitmap& normal, const res::EmbeddedFile* double2x)
        : m_normal(normal), m_file2x(double2x) {}

    wxSize GetDefaultSize() const override { return m_normal.GetSize(); }

    wxSize GetPreferredBitmapSizeAtScale(double scale) const override {
        // Any HiDPI scale takes the 2x picture: GTK scales by whole numbers, and
        // drawing 2x smaller for 1.5 is sharper than drawing 1x larger.
        return scale >= 1.5 && m_file2x ? GetDefaultSize() * 2 : GetDefaultSize();
    }

    wxBitmap GetBitmap(const wxSize& size) override {
        if (size == GetDefaultSize()) return m_normal;
        if (size == GetDefaultSize() * 2 && Decode2x()) return m_double;
        // Any other size: scaled from the best picture there is.
        wxImage image = (m_double.IsOk() ? m_double : m_normal).ConvertToImage();
        image.Rescale(size.x, size.y, wxIMAGE_QUALITY_HIGH);
        wxBitmap scaled(image);
        scaled.SetScaleFactor(double(size.x) / GetDefaultSize().x);
        return scaled;
    }

private:
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

    wxBitmap m_normal;
    const res::EmbeddedFile* m_file2x;
    wxBitmap m_double;
    bool m_tried2x = false;
};

}  // namespace

wxBitmapBundle LoadResourceBundle(std::string_view name) {
    const wxBitmap normal = LoadResourceBitmap(name);
    if (!normal.IsOk()) return wxBitmapBundle();
    return wxBitmapBundle::FromImpl(new CPictureBundleImpl(normal, res::FindBitmapResource2x(name)));
}
