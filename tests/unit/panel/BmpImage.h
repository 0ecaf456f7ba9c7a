// Reads the headers of BMP file images and builds small ones, for the panel tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmptest {

struct Header {
    std::uint32_t FileSize, BitsOffset, HeaderSize, Compression, ColorsUsed;
    std::int32_t Width, Height;
    std::uint16_t Planes, BitCount;
};

inline std::uint32_t U32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

inline Header ReadHeader(const unsigned char* p) {
    return {U32(p + 2),  U32(p + 10),         U32(p + 14),          U32(p + 30),
            U32(p + 46), std::int32_t(U32(p + 18)), std::int32_t(U32(p + 22)),
            std::uint16_t(p[26] | p[27] << 8), std::uint16_t(p[28] | p[29] << 8)};
}

inline void Put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A bottom-up uncompressed picture whose colour-table entry i is
// (blue, green, red) = (i, 2i, 3i) modulo 256.
inline std::vector<unsigned char> Make(int width, int height, unsigned bitCount,
                                       std::uint32_t colorsUsed) {
    const std::uint32_t colors = colorsUsed ? colorsUsed : (bitCount <= 8 ? 1u << bitCount : 0);
    const std::uint32_t stride = (width * bitCount + 31) / 32 * 4;
    const std::uint32_t offset = 14 + 40 + colors * 4;
    std::vector<unsigned char> b(offset + stride * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, offset);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<unsigned char>(bitCount);
    Put32(b, 46, colorsUsed);
    for (std::uint32_t i = 0; i < colors; ++i) {
        b[54 + 4 * i] = static_cast<unsigned char>(i);
        b[55 + 4 * i] = static_cast<unsigned char>(2 * i);
        b[56 + 4 * i] = static_cast<unsigned char>(3 * i);
        b[57 + 4 * i] = 0xEE;  // reserved byte, never a colour
    }
    return b;
}

}  // namespace bmptest
