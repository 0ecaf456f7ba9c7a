// Reads a built-in picture a strip of rows at a time, top row first, as
// native-endian 0x00RRGGBB pixels (the display's 24-bit layout): the 8-bit BMP
// 1x pictures and the PNG 2x ones. No more than one strip is held at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

struct PictureSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const PictureSize&) const = default;
};

// Rows [first, first + count) of a picture of the given size: count rows of
// size.Width pixels, stride bytes apart. Returning false stops the reading.
using RowStrip = std::function<bool(PictureSize size, int first, int count, const std::uint32_t* rows,
                                    std::size_t stride)>;

// False for a damaged, truncated or interlaced picture, or when strip stopped
// the reading; strip has then seen the rows before the fault, if any.
bool ReadBmpRows(const unsigned char* data, std::size_t size, int stripRows, const RowStrip& strip);
bool ReadPngRows(const unsigned char* data, std::size_t size, int stripRows, const RowStrip& strip);
