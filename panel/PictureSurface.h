// A built-in picture (the panel's background, a button's picture) kept as one
// picture of the kind the window draws fastest, made once per size and scale:
// on X11 a pixmap held by the display server, elsewhere a bitmap of the
// system's own. Every paint after the first is a copy; the picture is decoded
// a strip of rows at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

class wxColour;
class wxDC;

class PictureSurface {
public:
    // name: the picture's resource name; its 2x PNG is used on HiDPI screens.
    explicit PictureSurface(std::string_view name);
    ~PictureSurface();
    PictureSurface(const PictureSurface&) = delete;
    PictureSurface& operator=(const PictureSurface&) = delete;

    // Paints the picture over width x height logical units at the DC's
    // origin, stretched when its size differs. False when the picture does not
    // decode, nothing could be made to keep it or the DC is unevenly scaled (or
    // cannot be drawn on this way); the caller then draws it another way.
    bool Paint(wxDC& dc, int width, int height);

    // Lays colour at the given opacity (0 to 1) over all the DC shows.
    static void Wash(wxDC& dc, const wxColour& colour, double opacity);

private:
    struct Kept;  // the picture as the display keeps it

    std::string m_name;
    std::unique_ptr<Kept> m_kept;
    int m_width = 0, m_height = 0;
    double m_scale = 0;
    bool m_failed = false;  // nothing could be made: do not try on every paint
};
