#include "panel/PictureSurface.h"

#include <cairo.h>
#include <wx/colour.h>
#include <wx/dc.h>

#include <cmath>

#include "panel/PictureSource.h"
#include "panel/ServerPixmap.h"

namespace {

// Rows decoded at a time: 64 rows of the 2x background are about 230 KB.
constexpr int kStripRows = 64;

// Paints the picture's strips onto a context set up in the picture's pixels.
// Strips meet exactly when the picture's pixels are the surface's pixels; a
// stretched picture is read as one strip so the filter sees every row.
bool PaintPicture(cairo_t* cr, const PictureSource& source, int stripRows) {
    const PictureSize expected = source.Size;
    const RowStrip paintStrip = [cr, expected](PictureSize size, int first, int count, const std::uint32_t* rows,
                                               std::size_t stride) {
        if (size != expected) return false;  // not the picture it should be: draw the other one
        const int width = static_cast<int>(stride / sizeof(std::uint32_t));
        cairo_surface_t* strip = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(rows)), CAIRO_FORMAT_RGB24, width,
            count, static_cast<int>(stride));
        cairo_set_source_surface(cr, strip, 0, first);
        // A stretched picture is one strip: its edges are not faded into nothing.
        if (count == expected.Height) cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_rectangle(cr, 0, first, width, count);
        cairo_fill(cr);
        cairo_surface_finish(strip);  // the rows are the reader's: let go of them now
        cairo_surface_destroy(strip);
        return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    };
    return ReadSourceRows(source, stripRows, paintStrip);
}

// A surface like target of width x height user units at scale pixels each,
// with the picture painted over it, stretched if need be; null when the picture
// does not read. (The similar surface comes in the target's device scale, so
// only the context's own part of the scale is asked for on top.)
cairo_surface_t* MakeSimilar(cairo_surface_t* target, int width, int height, double contextScale, double scale,
                             const PictureSource& source, bool exact) {
    const PictureSize picture = source.Size;
    cairo_surface_t* surface = cairo_surface_create_similar(
        target, CAIRO_CONTENT_COLOR, int(std::ceil(width * contextScale)), int(std::ceil(height * contextScale)));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_set_device_scale(surface, scale, scale);
    cairo_t* cr = cairo_create(surface);
    // In the picture's pixels from here on.
    cairo_scale(cr, double(width) / picture.Width, double(height) / picture.Height);
    const bool painted = PaintPicture(cr, source, exact ? kStripRows : picture.Height);
    cairo_destroy(cr);
    if (!painted) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    return surface;
}

// The picture named name as a surface like target, of width x height user
// units at scale pixels each (contextScale of them the context's own).
cairo_surface_t* MakeSurface(const std::string& name, cairo_surface_t* target, int width, int height,
                             double contextScale, double scale) {
    cairo_surface_t* made = nullptr;
    DrawFromBestSource(name, width * scale, height * scale, [&](const PictureSource& source) {
        const bool exact = source.Size.Width == width * scale && source.Size.Height == height * scale;
        if (exact) {
            // Pixel for pixel: straight to the display server, a strip at a time.
            made = MakeServerPixmap(target, source.Size, scale, [&](const RowStrip& strip) {
                return ReadSourceRows(source, kStripRows, strip);
            });
            if (made) return true;
        }
        made = MakeSimilar(target, width, height, contextScale, scale, source, exact);
        return made != nullptr;
    });
    return made;
}

}  // namespace

struct PictureSurface::Kept {
    explicit Kept(cairo_surface_t* surface) : Surface(surface) {}
    ~Kept() { cairo_surface_destroy(Surface); }
    Kept(const Kept&) = delete;
    Kept& operator=(const Kept&) = delete;
    cairo_surface_t* Surface;
};

PictureSurface::PictureSurface(std::string_view name) : m_name(name) {}

PictureSurface::~PictureSurface() = default;

bool PictureSurface::Paint(wxDC& dc, int width, int height) {
    auto* cr = static_cast<cairo_t*>(dc.GetImpl()->GetCairoContext());
    if (!cr || width <= 0 || height <= 0 || m_failed) return false;
    // Pixels per user unit: the context's own scale (a DC may scale there) times
    // the target's device scale (GTK's on a HiDPI screen). A rotated or unevenly
    // scaled context is left to the caller.
    double xx = 1, xy = 0, yx = 0, yy = 1;
    cairo_user_to_device_distance(cr, &xx, &xy);
    cairo_user_to_device_distance(cr, &yx, &yy);
    cairo_surface_t* target = cairo_get_target(cr);
    double deviceX = 1, deviceY = 1;
    cairo_surface_get_device_scale(target, &deviceX, &deviceY);
    if (xy != 0 || yx != 0 || xx <= 0 || xx != yy || deviceX != deviceY) return false;
    const double scale = xx * deviceX;
    if (!m_kept || m_width != width || m_height != height || m_scale != scale) {
        m_kept.reset();
        cairo_surface_t* surface = MakeSurface(m_name, target, width, height, xx, scale);
        m_width = width;
        m_height = height;
        m_scale = scale;
        if (!surface) {
            m_failed = true;
            return false;
        }
        m_kept = std::make_unique<Kept>(surface);
    }
    cairo_save(cr);
    cairo_set_source_surface(cr, m_kept->Surface, 0, 0);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
    return true;
}

void PictureSurface::Wash(wxDC& dc, const wxColour& colour, double opacity) {
    auto* cr = static_cast<cairo_t*>(dc.GetImpl()->GetCairoContext());
    if (!cr) return;
    cairo_set_source_rgba(cr, colour.Red() / 255.0, colour.Green() / 255.0, colour.Blue() / 255.0, opacity);
    cairo_paint(cr);
}
