#include "panel/BackgroundPalette.h"

#include "panel/BmpImage.h"

std::optional<LogicalPalette> BuildBackgroundPalette(const unsigned char* bmp, std::size_t size) {
    const std::optional<BmpLayout> layout = ParseBmp(bmp, size);
    if (!layout) return std::nullopt;
    LogicalPalette palette;
    palette.Entries.reserve(layout->ColorCount);
    const unsigned char* table = layout->ColorTable;
    for (const unsigned char* q = table; q != table + layout->ColorCount * 4; q += 4)
        palette.Entries.push_back({q[2], q[1], q[0], 0});  // RGBQUAD: blue, green, red, reserved
    return palette;
}
