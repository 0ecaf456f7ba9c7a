// Which of a built-in picture's two forms draws it at a size: whenever it is
// drawn larger than its 1x pixels (a HiDPI screen, a zoomed panel) the 2x PNG
// comes first, since drawing it smaller is sharper than drawing the 1x BMP
// larger; the 1x picture is the fallback, unpacked only when it is reached.
#pragma once

#include <functional>
#include <string_view>

#include "panel/PictureRows.h"
#include "resources/Bitmaps.h"

struct PictureSource {
    const res::EmbeddedFile* File;
    bool Png;
    PictureSize Size;
};

// Hands draw each form of the picture named name, best first for a drawing of
// pixelWidth x pixelHeight pixels, until draw returns true. False when it never
// did or there is no such picture.
bool DrawFromBestSource(std::string_view name, double pixelWidth, double pixelHeight,
                        const std::function<bool(const PictureSource&)>& draw);

// Reads the source's rows, stripRows at a time.
bool ReadSourceRows(const PictureSource& source, int stripRows, const RowStrip& strip);
