// The tables of built-in pictures, generated at build time from resources/bitmaps.
#pragma once

#include <cstddef>

#include "resources/Bitmaps.h"

namespace res::embedded {

struct NamedBitmap {
    const char* Name;  // upper case, without extension: "BROADCASTU", "ICON128"
    PackedBitmap Bitmap;
};

struct NamedFile {
    const char* Name;
    EmbeddedFile File;
};

extern const NamedBitmap kBitmaps[];
extern const std::size_t kBitmapCount;
extern const NamedFile kBitmaps2x[];  // PNG file images, twice the size of kBitmaps
extern const std::size_t kBitmap2xCount;
extern const NamedBitmap kIcons[];
extern const std::size_t kIconCount;

}  // namespace res::embedded
