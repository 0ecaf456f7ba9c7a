#include "panel/PictureSurface.h"

#include <cmath>
#include <cstdint>
#include <memory>

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/rawbmp.h>

#include "panel/PictureSource.h"

namespace {

// Rows decoded at a time: 64 rows of the 2x background are about 230 KB.
constexpr int kStripRows = 64;

// Calls put(x, y, 0x00RRGGBB) for every pixel of the picture, which must read
// as source.Size pixels; false when it does not.
template <typename Put>
bool ReadPixels(const PictureSource& source, const Put& put) {
    const RowStrip strip = [&](PictureSize size, int first, int count, const std::uint32_t* rows,
                               std::size_t stride) {
        if (size != source.Size) return false;
        for (int y = 0; y < count; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                reinterpret_cast<const unsigned char*>(rows) + std::size_t(y) * stride);
            for (int x = 0; x < size.Width; ++x) put(x, first + y, row[x]);
        }
        return true;
    };
    return ReadSourceRows(source, kStripRows, strip);
}

// Pixel for pixel: the rows go straight into the bitmap, a strip at a time.
wxBitmap ExactBitmap(const PictureSource& source) {
    wxBitmap bitmap(source.Size.Width, source.Size.Height, 24);
    wxNativePixelData data(bitmap);
    if (!data) return wxBitmap();
    wxNativePixelData::Iterator at(data);
    const bool read = ReadPixels(source, [&](int x, int y, std::uint32_t pixel) {
        at.MoveTo(data, x, y);
        at.Red() = static_cast<unsigned char>(pixel >> 16);
        at.Green() = static_cast<unsigned char>(pixel >> 8);
        at.Blue() = static_cast<unsigned char>(pixel);
    });
    return read ? bitmap : wxBitmap();
}

// The picture stretched to pixels, as smoothly as wx scales pictures.
wxBitmap StretchedBitmap(const PictureSource& source, wxSize pixels) {
    wxImage image(source.Size.Width, source.Size.Height, false);
    unsigned char* rgb = image.GetData();
    if (!rgb) return wxBitmap();
    const bool read = ReadPixels(source, [&](int x, int y, std::uint32_t pixel) {
        unsigned char* out = rgb + (std::size_t(y) * source.Size.Width + std::size_t(x)) * 3;
        out[0] = static_cast<unsigned char>(pixel >> 16);
        out[1] = static_cast<unsigned char>(pixel >> 8);
        out[2] = static_cast<unsigned char>(pixel);
    });
    if (!read) return wxBitmap();
    image.Rescale(pixels.x, pixels.y, wxIMAGE_QUALITY_HIGH);
    return wxBitmap(image, 24);
}

// The picture named name over width x height logical units at scale pixels
// each; invalid when no picture of that name reads.
wxBitmap MakeBitmap(const std::string& name, int width, int height, double scale) {
    const wxSize pixels(int(std::ceil(width * scale)), int(std::ceil(height * scale)));
    wxBitmap bitmap;
    DrawFromBestSource(name, width * scale, height * scale, [&](const PictureSource& source) {
        const bool exact = source.Size.Width == width * scale && source.Size.Height == height * scale;
        bitmap = exact ? ExactBitmap(source) : StretchedBitmap(source, pixels);
        return bitmap.IsOk();
    });
    return bitmap;
}

}  // namespace

struct PictureSurface::Kept {
    wxBitmap Bitmap;  // in the screen's pixels
};

PictureSurface::PictureSurface(std::string_view name) : m_name(name) {}

PictureSurface::~PictureSurface() = default;

bool PictureSurface::Paint(wxDC& dc, int width, int height) {
    if (!dc.IsOk() || width <= 0 || height <= 0 || m_failed) return false;
    // Pixels per logical unit: here a DC's coordinates are the screen's pixels
    // unless the DC itself scales them. An unevenly scaled DC is left to the caller.
    double userX = 1, userY = 1, logicalX = 1, logicalY = 1;
    dc.GetUserScale(&userX, &userY);
    dc.GetLogicalScale(&logicalX, &logicalY);
    const double scale = userX * logicalX;
    if (scale <= 0 || scale != userY * logicalY) return false;
    if (!m_kept || m_width != width || m_height != height || m_scale != scale) {
        m_kept.reset();
        wxBitmap bitmap = MakeBitmap(m_name, width, height, scale);
        m_width = width;
        m_height = height;
        m_scale = scale;
        if (!bitmap.IsOk()) {
            m_failed = true;
            return false;
        }
        m_kept = std::make_unique<Kept>(Kept{bitmap});
    }
    // The bitmap is in the screen's pixels: copied at the DC's origin unscaled.
    const wxPoint origin(dc.LogicalToDeviceX(0), dc.LogicalToDeviceY(0));
    dc.SetUserScale(1 / logicalX, 1 / logicalY);
    dc.DrawBitmap(m_kept->Bitmap, dc.DeviceToLogicalX(origin.x), dc.DeviceToLogicalY(origin.y), false);
    dc.SetUserScale(userX, userY);
    return true;
}

void PictureSurface::Wash(wxDC& dc, const wxColour& colour, double opacity) {
    // The system's plain drawing has no see-through fill: its vector drawing does.
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
    if (!gc) return;
    const wxSize size = dc.GetSize();
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->SetBrush(wxBrush(wxColour(colour.Red(), colour.Green(), colour.Blue(),
                                  static_cast<unsigned char>(std::lround(opacity * 255)))));
    gc->DrawRectangle(dc.DeviceToLogicalX(0), dc.DeviceToLogicalY(0), dc.DeviceToLogicalXRel(size.x),
                      dc.DeviceToLogicalYRel(size.y));
}
