// The layout of a BMP file image with a colour table (1, 4 or 8 bits per
// pixel), checked against the image's size before anything is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct BmpLayout {
    int Width = 0;
    int Height = 0;          // rows, whatever their order
    bool TopDown = false;    // rows stored top first
    unsigned BitCount = 0;   // 1, 4 or 8
    std::uint32_t Compression = 0;
    const unsigned char* ColorTable = nullptr;  // RGBQUADs: blue, green, red, reserved
    std::size_t ColorCount = 0;
    const unsigned char* Bits = nullptr;
};

// Nothing for a damaged or truncated image, or one without a colour table.
std::optional<BmpLayout> ParseBmp(const unsigned char* bmp, std::size_t size);

// The pixels as RGB triples, top row first, for an uncompressed image; nothing
// for a compressed one or a pixel whose index lies past the colour table.
std::optional<std::vector<unsigned char>> DecodeBmpRgb(const BmpLayout& layout);

// Row y (0 is the top) of an uncompressed image as Width RGB triples into out;
// false for a compressed image, a row out of range or an index past the table.
bool DecodeBmpRowRgb(const BmpLayout& layout, std::size_t y, unsigned char* out);
