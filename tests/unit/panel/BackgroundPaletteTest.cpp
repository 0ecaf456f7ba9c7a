#include <gtest/gtest.h>

#include "panel/BackgroundPalette.h"
#include "resources/Bitmaps.h"
#include "unit/panel/BmpImage.h"

namespace {

std::optional<LogicalPalette> Build(const std::vector<unsigned char>& b) {
    return BuildBackgroundPalette(b.data(), b.size());
}

TEST(BackgroundPalette, RealBackgroundGivesItsWholeColourTable) {
    const res::EmbeddedFile* bg = res::FindBitmapResource("V7BG");
    ASSERT_NE(bg, nullptr);
    const auto palette = BuildBackgroundPalette(bg->Data, bg->Size);
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->Version, 0x300);
    ASSERT_EQ(palette->Entries.size(), 256u);
    const unsigned char* table = bg->Data + 14 + 40;
    for (std::size_t i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette->Entries[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(e.Blue, table[4 * i]);
        EXPECT_EQ(e.Green, table[4 * i + 1]);
        EXPECT_EQ(e.Red, table[4 * i + 2]);
        EXPECT_EQ(e.Flags, 0);
    }
    // The form's own colour, the most used, leads the table.
    EXPECT_EQ(palette->Entries[0].Red, 0xEE);
    EXPECT_EQ(palette->Entries[0].Green, 0xF2);
    EXPECT_EQ(palette->Entries[0].Blue, 0xF7);
}

TEST(BackgroundPalette, EntriesSwapTheFileOrderOfBlueAndRed) {
    const auto palette = Build(bmptest::Make(3, 2, 8, 0));
    ASSERT_TRUE(palette);
    ASSERT_EQ(palette->Entries.size(), 256u);  // colours used 0: 1 << 8
    const PaletteEntry e = palette->Entries[5];
    EXPECT_EQ(e.Red, 15);
    EXPECT_EQ(e.Green, 10);
    EXPECT_EQ(e.Blue, 5);
    EXPECT_EQ(e.Flags, 0);  // the reserved byte is not copied
}

TEST(BackgroundPalette, CountFollowsColoursUsedOrBitCount) {
    auto used = Build(bmptest::Make(4, 4, 8, 16));
    ASSERT_TRUE(used);
    EXPECT_EQ(used->Entries.size(), 16u);
    auto four = Build(bmptest::Make(4, 4, 4, 0));
    ASSERT_TRUE(four);
    EXPECT_EQ(four->Entries.size(), 16u);
    auto one = Build(bmptest::Make(9, 1, 1, 0));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->Entries.size(), 2u);
    EXPECT_EQ(one->Entries[1].Red, 3);
}

TEST(BackgroundPalette, TopDownPictureIsAccepted) {
    auto b = bmptest::Make(4, 3, 8, 0);
    bmptest::Put32(b, 22, static_cast<std::uint32_t>(-3));
    EXPECT_TRUE(Build(b));
}

TEST(BackgroundPalette, TruncatedImagesGiveNothing) {
    const auto whole = bmptest::Make(5, 3, 8, 0);
    ASSERT_TRUE(Build(whole));
    // Cut inside the file header, the info header, the colour table and the pixels.
    for (std::size_t cut : {0u, 10u, 14u, 40u, 53u, 54u, 600u, 1077u, 1078u, 1093u}) {
        std::vector<unsigned char> part(whole.begin(), whole.begin() + cut);
        EXPECT_FALSE(Build(part)) << "cut at " << cut;
    }
    EXPECT_FALSE(BuildBackgroundPalette(nullptr, 0));
}

TEST(BackgroundPalette, MalformedHeadersGiveNothing) {
    const auto good = bmptest::Make(4, 4, 8, 0);
    auto changed = [&](std::size_t at, std::uint32_t value) {
        auto b = good;
        bmptest::Put32(b, at, value);
        return b;
    };
    auto magic = good;
    magic[0] = 'X';
    EXPECT_FALSE(Build(magic));
    EXPECT_FALSE(Build(changed(46, 100000))) << "colours used beyond the file";
    // A table of 300 entries that the file really holds is still more than 8 bits index.
    EXPECT_FALSE(Build(bmptest::Make(4, 4, 8, 300))) << "more colours than 8 bits index";
    EXPECT_FALSE(Build(changed(14, 12))) << "header too short";
    EXPECT_FALSE(Build(changed(14, 0xFFFFFFF0u))) << "header size beyond the file";
    EXPECT_FALSE(Build(changed(10, 0xFFFFFFF0u))) << "pixels beyond the file";
    EXPECT_FALSE(Build(changed(10, 14 + 40 + 100))) << "pixels overlap the colour table";
    EXPECT_FALSE(Build(changed(18, 0))) << "no width";
    EXPECT_FALSE(Build(changed(22, 0))) << "no height";
    EXPECT_FALSE(Build(changed(18, 0x7FFFFFFF))) << "width beyond the file";
    EXPECT_FALSE(Build(changed(30, 3))) << "bit fields";
    EXPECT_FALSE(Build(changed(30, 2))) << "4-bit run-length on 8-bit pixels";
}

TEST(BackgroundPalette, PicturesWithoutAColourTableGiveNothing) {
    EXPECT_FALSE(Build(bmptest::Make(4, 4, 24, 0)));
    EXPECT_FALSE(Build(bmptest::Make(4, 4, 16, 0)));
    EXPECT_FALSE(Build(bmptest::Make(4, 4, 32, 0)));
}

}  // namespace
