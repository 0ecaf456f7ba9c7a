// A built-in picture (the panel's background, a button's picture) kept as one
// surface of the kind the window draws on (on X11 a pixmap held by the display
// server), made once per size and scale. Every paint after the first is a copy
// on the server; the program holds no decoded copy of the picture, and the
// picture is decoded a strip of rows at a time, so even a 2x picture never
// exists whole here.
#pragma once

#include <string>
#include <string_view>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

class PictureSurface {
public:
    // name: the picture's resource name; its 2x PNG is used on HiDPI screens.
    explicit PictureSurface(std::string_view name);
    ~PictureSurface();
    PictureSurface(const PictureSurface&) = delete;
    PictureSurface& operator=(const PictureSurface&) = delete;

    // Paints the picture over width x height user units at the context's
    // origin, stretched when its size differs. False when the picture does not
    // decode, no surface could be made or the context is rotated or unevenly
    // scaled; the caller then draws it another way.
    bool Paint(cairo_t* cr, int width, int height);

private:
    // contextScale: the context's own pixels per user unit; scale: with the
    // target's device scale, the pixels per user unit in all.
    cairo_surface_t* Make(cairo_surface_t* target, int width, int height, double contextScale, double scale) const;

    std::string m_name;
    cairo_surface_t* m_surface = nullptr;
    int m_width = 0, m_height = 0;
    double m_scale = 0;
    bool m_failed = false;  // no surface could be made: do not try on every paint
};
