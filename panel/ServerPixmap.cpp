#include "panel/ServerPixmap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <bit>

namespace {

struct OwnedPixmap {
    Display* Connection;
    Pixmap Id;
};

cairo_user_data_key_t g_pixmapKey;

void FreePixmap(void* data) {
    auto* owned = static_cast<OwnedPixmap*>(data);
    XFreePixmap(owned->Connection, owned->Id);
    delete owned;
}

bool IsPlainTrueColour(Visual* visual, int depth) {
    return visual && depth == 24 && visual->c_class == TrueColor && visual->red_mask == 0xff0000 &&
           visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
}

}  // namespace

cairo_surface_t* MakeServerPixmap(cairo_surface_t* target, PictureSize size, double scale,
                                  const PictureReader& read) {
    if (!target || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_XLIB) return nullptr;
    Display* display = cairo_xlib_surface_get_display(target);
    Visual* visual = cairo_xlib_surface_get_visual(target);
    const int depth = cairo_xlib_surface_get_depth(target);
    if (!display || !IsPlainTrueColour(visual, depth) || size.Width <= 0 || size.Height <= 0) return nullptr;

    const Pixmap pixmap = XCreatePixmap(display, cairo_xlib_surface_get_drawable(target),
                                        unsigned(size.Width), unsigned(size.Height), unsigned(depth));
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    const bool uploaded = read([&](PictureSize got, int first, int count, const std::uint32_t* rows,
                                   std::size_t stride) {
        if (got != size) return false;
        XImage* image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0,
                                     reinterpret_cast<char*>(const_cast<std::uint32_t*>(rows)),
                                     unsigned(size.Width), unsigned(count), 32, int(stride));
        if (!image) return false;
        if (image->bits_per_pixel != 32) {  // a server that packs 24-bit pixels: cairo's way instead
            image->data = nullptr;
            XDestroyImage(image);
            return false;
        }
        // The rows are native 32-bit words; Xlib swaps them if the server differs.
        image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
        XPutImage(display, pixmap, gc, image, 0, 0, 0, first, unsigned(size.Width), unsigned(count));
        image->data = nullptr;  // the reader's rows, not Xlib's to free
        XDestroyImage(image);
        return true;
    });
    XFreeGC(display, gc);
    if (!uploaded) {
        XFreePixmap(display, pixmap);
        return nullptr;
    }
    cairo_surface_t* surface = cairo_xlib_surface_create(display, pixmap, visual, size.Width, size.Height);
    auto* owned = new OwnedPixmap{display, pixmap};
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(surface, &g_pixmapKey, owned, FreePixmap) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        FreePixmap(owned);
        return nullptr;
    }
    cairo_surface_set_device_scale(surface, scale, scale);
    return surface;
}
