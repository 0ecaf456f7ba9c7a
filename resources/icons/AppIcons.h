// The desktop icon at every size it is drawn (resources/art/make-icons.py),
// each a PNG file image, built into the program for the window's icon bundle.
#pragma once

#include <cstddef>

namespace res {

struct AppIcon {
    int Size;  // width and height in pixels
    const unsigned char* Data;
    std::size_t Bytes;
};

// The icons, smallest first.
const AppIcon* AppIcons(std::size_t* count);

}  // namespace res
