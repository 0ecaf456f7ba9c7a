#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "resources/Bitmaps.h"
#include "unit/panel/BmpImage.h"

namespace {

struct Button {
    const char* Caption;
    int Width, Height;
};

// Every panel button with the size of its pictures.
constexpr Button kButtons[] = {
    {"BROADCAST", 220, 45}, {"USER", 220, 45}, {"OPTIONS", 220, 45}, {"TEST", 220, 45},
    {"ON", 48, 20},         {"OFF", 49, 20},   {"HELP", 98, 25},     {"EXIT", 98, 25},
};

// Checks that a resource is a well-formed 8-bit uncompressed bottom-up BMP of
// the given size whose pixel rows lie inside the embedded bytes.
void ExpectBmp8(const res::EmbeddedFile* file, const std::string& name, int width, int height) {
    SCOPED_TRACE(name);
    ASSERT_NE(file, nullptr);
    ASSERT_GE(file->Size, 14u + 40u);
    const unsigned char* p = file->Data;
    EXPECT_EQ(p[0], 'B');
    EXPECT_EQ(p[1], 'M');
    const bmptest::Header h = bmptest::ReadHeader(p);
    EXPECT_EQ(h.FileSize, file->Size);
    EXPECT_EQ(h.HeaderSize, 40u);
    EXPECT_EQ(h.Width, width);
    EXPECT_EQ(h.Height, height);  // positive: bottom-up
    EXPECT_EQ(h.Planes, 1);
    EXPECT_EQ(h.BitCount, 8);
    EXPECT_EQ(h.Compression, 0u);
    const std::size_t stride = (static_cast<std::size_t>(width) + 3) / 4 * 4;
    EXPECT_LE(h.BitsOffset + stride * height, file->Size);
}

TEST(BitmapResources, EveryButtonHasFourPicturesOfItsSize) {
    for (const Button& b : kButtons) {
        for (char state : {'U', 'D', 'F', 'X'}) {
            const std::string name = std::string(b.Caption) + state;
            ExpectBmp8(res::FindBitmapResource(name), name, b.Width, b.Height);
        }
    }
}

TEST(BitmapResources, NamesMatchWithoutRegardToCase) {
    const res::EmbeddedFile* upper = res::FindBitmapResource("BROADCASTU");
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(res::FindBitmapResource("broadcastu"), upper);
    EXPECT_EQ(res::FindBitmapResource("BroadcastU"), upper);
    EXPECT_EQ(res::FindBitmapResource("OnX"), res::FindBitmapResource("ONX"));
    EXPECT_EQ(res::FindBitmapResource("v7bg"), res::FindBitmapResource("V7BG"));
    // Distinct pictures stay distinct.
    EXPECT_NE(res::FindBitmapResource("ONU"), res::FindBitmapResource("ONX"));
}

TEST(BitmapResources, UnknownNamesFindNothing) {
    for (const char* name : {"", "BROADCAST", "BROADCASTUU", "BROADCASTU.bmp", "ONZ", "ICON128", "V7B"})
        EXPECT_EQ(res::FindBitmapResource(name), nullptr) << name;
    EXPECT_EQ(res::FindIconResource(0), nullptr);
    EXPECT_EQ(res::FindIconResource(129), nullptr);
}

TEST(BitmapResources, BackgroundIsTheFormSizeWithAFullColourTable) {
    const res::EmbeddedFile* bg = res::FindBitmapResource("V7BG");
    ExpectBmp8(bg, "V7BG", 450, 330);
    ASSERT_NE(bg, nullptr);
    const bmptest::Header h = bmptest::ReadHeader(bg->Data);
    EXPECT_TRUE(h.ColorsUsed == 0 || h.ColorsUsed == 256);
    EXPECT_GE(h.BitsOffset, 14u + 40u + 256u * 4u);
}

TEST(BitmapResources, IconIsA32PixelPicture) {
    ExpectBmp8(res::FindIconResource(128), "icon 128", 32, 32);
}

}  // namespace
