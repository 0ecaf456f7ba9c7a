// The pictures built into the program: the 32 button pictures, the panel's
// background "V7BG" and icon 128, each an 8-bit uncompressed BMP file image;
// the button pictures and the background also at 2x.
#pragma once

#include <cstddef>
#include <string_view>

namespace res {

struct EmbeddedFile {
    const unsigned char* Data;
    std::size_t Size;
};

// A bitmap by its resource name, matched without regard to case ("BROADCASTU",
// "OnX", "V7BG"); nullptr when there is none.
const EmbeddedFile* FindBitmapResource(std::string_view name);

// The same bitmap drawn at twice its size for HiDPI screens, a PNG file image
// (full colour); nullptr when there is none.
const EmbeddedFile* FindBitmapResource2x(std::string_view name);

// An icon by number (128); nullptr when there is none.
const EmbeddedFile* FindIconResource(unsigned id);

}  // namespace res
