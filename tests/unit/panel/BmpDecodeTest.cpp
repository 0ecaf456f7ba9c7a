// Decoding the pixels of the built-in pictures' format: row order, packed
// pixels, and indexes the colour table does not hold.
#include <gtest/gtest.h>

#include "BmpImage.h"
#include "panel/BmpImage.h"

namespace {

std::vector<unsigned char> Decode(const std::vector<unsigned char>& bmp) {
    const std::optional<BmpLayout> layout = ParseBmp(bmp.data(), bmp.size());
    EXPECT_TRUE(layout.has_value());
    if (!layout) return {};
    return DecodeBmpRgb(*layout).value_or(std::vector<unsigned char>{});
}

// Table entry i is (red, green, blue) = (3i, 2i, i) in the pictures bmptest makes.
std::vector<unsigned char> Rgb(std::initializer_list<int> indexes) {
    std::vector<unsigned char> out;
    for (int i : indexes) {
        out.push_back(static_cast<unsigned char>(3 * i));
        out.push_back(static_cast<unsigned char>(2 * i));
        out.push_back(static_cast<unsigned char>(i));
    }
    return out;
}

TEST(BmpDecode, BottomUpRowsComeOutTopFirst) {
    auto bmp = bmptest::Make(2, 2, 8, 0);
    const std::size_t bits = 14 + 40 + 256 * 4;
    bmp[bits + 0] = 1;  // stored first: the bottom row
    bmp[bits + 1] = 2;
    bmp[bits + 4] = 3;  // rows are padded to 4 bytes
    bmp[bits + 5] = 4;
    EXPECT_EQ(Decode(bmp), Rgb({3, 4, 1, 2}));

    bmptest::Put32(bmp, 22, static_cast<std::uint32_t>(-2));  // top-down
    EXPECT_EQ(Decode(bmp), Rgb({1, 2, 3, 4}));
}

TEST(BmpDecode, PackedPixelsReadHighBitsFirst) {
    auto bmp = bmptest::Make(3, 1, 4, 0);
    const std::size_t bits = 14 + 40 + 16 * 4;
    bmp[bits + 0] = 0x5A;
    bmp[bits + 1] = 0xF0;
    EXPECT_EQ(Decode(bmp), Rgb({5, 10, 15}));

    auto mono = bmptest::Make(9, 1, 1, 0);
    mono[14 + 40 + 2 * 4] = 0b10100000;
    mono[14 + 40 + 2 * 4 + 1] = 0b10000000;
    EXPECT_EQ(Decode(mono), Rgb({1, 0, 1, 0, 0, 0, 0, 0, 1}));
}

TEST(BmpDecode, IndexPastTheColourTableGivesNothing) {
    auto bmp = bmptest::Make(1, 1, 8, 4);  // four colours only
    bmp[14 + 40 + 4 * 4] = 4;
    const std::optional<BmpLayout> layout = ParseBmp(bmp.data(), bmp.size());
    ASSERT_TRUE(layout.has_value());
    EXPECT_FALSE(DecodeBmpRgb(*layout).has_value());
}

}  // namespace
