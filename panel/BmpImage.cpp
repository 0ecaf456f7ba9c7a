#include "panel/BmpImage.h"

namespace {

// Little-endian fields of a BMP file image. Callers check the bounds first.
std::uint32_t U32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t U16(const unsigned char* p) { return std::uint16_t(p[0] | p[1] << 8); }
std::int32_t I32(const unsigned char* p) { return std::int32_t(U32(p)); }

constexpr std::size_t kFileHeaderSize = 14;  // BITMAPFILEHEADER
constexpr std::size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2;
constexpr std::int64_t kMaxSide = 1 << 15;

}  // namespace

std::optional<BmpLayout> ParseBmp(const unsigned char* bmp, std::size_t size) {
    if (bmp == nullptr || size < kFileHeaderSize + kInfoHeaderSize) return std::nullopt;
    if (bmp[0] != 'B' || bmp[1] != 'M') return std::nullopt;
    const std::uint64_t bitsOffset = U32(bmp + 10);

    const unsigned char* info = bmp + kFileHeaderSize;
    const std::uint64_t headerSize = U32(info);  // later header versions are longer
    const std::int64_t width = I32(info + 4);
    const std::int64_t height = I32(info + 8);  // negative: top-down rows
    const unsigned bitCount = U16(info + 14);
    const std::uint32_t compression = U32(info + 16);
    const std::uint64_t imageSize = U32(info + 20);
    const std::uint64_t colorsUsed = U32(info + 32);

    if (headerSize < kInfoHeaderSize || U16(info + 12) != 1) return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8) return std::nullopt;  // no colour table
    if (width <= 0 || height == 0 || width > kMaxSide || height > kMaxSide || height < -kMaxSide)
        return std::nullopt;

    // The pixels must be there too: a picture that cannot be loaded is no picture.
    const std::uint64_t rows = std::uint64_t(height < 0 ? -height : height);
    std::uint64_t bitsSize = 0;
    if (compression == kBiRgb)
        bitsSize = (std::uint64_t(width) * bitCount + 31) / 32 * 4 * rows;
    else if ((compression == kBiRle8 && bitCount == 8) || (compression == kBiRle4 && bitCount == 4))
        bitsSize = imageSize;
    else
        return std::nullopt;
    if (bitsOffset > size || bitsSize > size - bitsOffset) return std::nullopt;

    // A table holds no more colours than the pixels can index: a larger count is
    // a damaged header, and trusting it would read bytes that were never colours.
    const std::uint64_t maxColors = 1u << bitCount;
    if (colorsUsed > maxColors) return std::nullopt;
    const std::uint64_t count = colorsUsed == 0 ? maxColors : colorsUsed;
    const std::uint64_t tableOffset = kFileHeaderSize + headerSize;
    if (tableOffset > size || count * 4 > size - tableOffset) return std::nullopt;
    if (tableOffset + count * 4 > bitsOffset) return std::nullopt;  // table runs into the pixels

    BmpLayout layout;
    layout.Width = static_cast<int>(width);
    layout.Height = static_cast<int>(rows);
    layout.TopDown = height < 0;
    layout.BitCount = bitCount;
    layout.Compression = compression;
    layout.ColorTable = bmp + tableOffset;
    layout.ColorCount = static_cast<std::size_t>(count);
    layout.Bits = bmp + bitsOffset;
    return layout;
}

bool DecodeBmpRowRgb(const BmpLayout& layout, std::size_t y, unsigned char* out) {
    if (layout.Compression != kBiRgb) return false;
    const std::size_t width = static_cast<std::size_t>(layout.Width);
    const std::size_t height = static_cast<std::size_t>(layout.Height);
    if (y >= height) return false;
    const std::size_t stride = (width * layout.BitCount + 31) / 32 * 4;
    const unsigned perByte = 8 / layout.BitCount;
    const unsigned mask = (1u << layout.BitCount) - 1;
    const unsigned char* row = layout.Bits + stride * (layout.TopDown ? y : height - 1 - y);
    for (std::size_t x = 0; x < width; ++x) {
        const unsigned shift = (perByte - 1 - x % perByte) * layout.BitCount;
        const std::size_t index = (row[x / perByte] >> shift) & mask;
        if (index >= layout.ColorCount) return false;
        const unsigned char* quad = layout.ColorTable + index * 4;
        *out++ = quad[2];
        *out++ = quad[1];
        *out++ = quad[0];
    }
    return true;
}

std::optional<std::vector<unsigned char>> DecodeBmpRgb(const BmpLayout& layout) {
    if (layout.Compression != kBiRgb) return std::nullopt;
    const std::size_t rowBytes = static_cast<std::size_t>(layout.Width) * 3;
    std::vector<unsigned char> rgb(rowBytes * static_cast<std::size_t>(layout.Height));
    for (std::size_t y = 0; y < static_cast<std::size_t>(layout.Height); ++y)
        if (!DecodeBmpRowRgb(layout, y, rgb.data() + y * rowBytes)) return std::nullopt;
    return rgb;
}
