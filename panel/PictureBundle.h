// A built-in picture as a bitmap bundle: the 8-bit 1x picture and its 2x PNG,
// each decoded only the first time it is drawn, so a 1x screen never pays for
// the large pictures and a state never shown is never decoded.
#pragma once

#include <string_view>

#include <wx/bmpbndl.h>

// Invalid when there is no 1x picture of that name. A picture is unpacked when
// first drawn; one whose bytes do not decode then draws as an invalid bitmap.
// Without a usable 2x picture the 1x one is scaled up.
wxBitmapBundle LoadResourceBundle(std::string_view name);
