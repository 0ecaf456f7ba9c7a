// The pictures built into the program: the 32 button pictures, the panel's
// background "V7BG" and icon 128, each an 8-bit uncompressed BMP file image
// kept gzip-compressed; the button pictures and the background also at 2x, as
// PNG file images.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace res {

struct EmbeddedFile {
    const unsigned char* Data;
    std::size_t Size;
};

// A BMP file image as the program keeps it: compressed, with the picture's
// size at hand so a layout needs no unpacking.
struct PackedBitmap {
    const unsigned char* Data;  // a gzip stream
    std::size_t Size;
    std::size_t FileSize;  // of the BMP file image it holds
    int Width;
    int Height;
};

// A bitmap by its resource name, matched without regard to case ("BROADCASTU",
// "OnX", "V7BG"); nullptr when there is none.
const PackedBitmap* FindBitmapResource(std::string_view name);

// The same bitmap drawn at twice its size for HiDPI screens, a PNG file image
// (full colour); nullptr when there is none.
const EmbeddedFile* FindBitmapResource2x(std::string_view name);

// An icon by number (128); nullptr when there is none.
const PackedBitmap* FindIconResource(unsigned id);

// The BMP file image; empty when the stream is damaged or does not hold
// exactly FileSize bytes.
std::vector<unsigned char> Unpack(const PackedBitmap& bitmap);

}  // namespace res
