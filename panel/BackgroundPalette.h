// A logical palette built from the colour table of the panel's background
// picture, so that on a 256-colour display the picture keeps its true colours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct PaletteEntry {
    std::uint8_t Red;
    std::uint8_t Green;
    std::uint8_t Blue;
    std::uint8_t Flags;
};

struct LogicalPalette {
    std::uint16_t Version = 0x300;
    std::vector<PaletteEntry> Entries;  // one per colour-table entry
};

// The palette of a BMP file image of at most 8 bits per pixel: as many entries
// as the header's colours-used count, or 1 << bits per pixel when that is 0;
// entry i takes red, green and blue of colour-table entry i and flags 0.
// Nothing for a damaged image or one without a colour table.
std::optional<LogicalPalette> BuildBackgroundPalette(const unsigned char* bmp, std::size_t size);
