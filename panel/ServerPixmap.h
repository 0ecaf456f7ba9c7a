// A picture uploaded, a strip of rows at a time, into a new pixmap on the X
// server that a cairo surface draws on, as a cairo surface of its own. Plain
// image requests carry the rows: cairo's own uploads go through shared-memory
// segments that stay mapped in the program for the rest of its run.
#pragma once

#include "panel/PictureRows.h"

typedef struct _cairo_surface cairo_surface_t;

// Reads the picture: calls the strip callback for each strip of rows in turn.
using PictureReader = std::function<bool(const RowStrip& strip)>;

// The picture as a surface of size pixels with the given device scale on the
// X server of target; null when target is not a 24-bit true-colour X surface
// or the picture does not read as size pixels (nothing is left on the server).
cairo_surface_t* MakeServerPixmap(cairo_surface_t* target, PictureSize size, double scale,
                                  const PictureReader& read);
