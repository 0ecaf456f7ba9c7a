// Reading the built-in pictures a strip of rows at a time: the same pixels as a
// whole-picture decode for every picture at both sizes, whatever the strip
// height, and a clean refusal of damaged pictures.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "panel/BmpImage.h"
#include "panel/PictureRows.h"
#include "resources/Bitmaps.h"

namespace {

const char* const kPictures[] = {"V7BG",      "BROADCASTU", "BROADCASTX", "USERD", "OPTIONSF",
                                 "TESTU",     "ONU",        "OFFX",       "HELPF", "EXITD"};

struct Collected {
    PictureSize Size;
    std::vector<std::uint32_t> Pixels;  // rows in order, as the strips came
    int Strips = 0;
};

// Reads with the given strip height, checking the strips follow one another.
bool Collect(bool png, const res::EmbeddedFile& file, int stripRows, Collected& out) {
    int next = 0;
    const RowStrip strip = [&](PictureSize size, int first, int count, const std::uint32_t* rows, std::size_t stride) {
        EXPECT_EQ(first, next);
        EXPECT_LE(count, stripRows);
        next = first + count;
        out.Size = size;
        ++out.Strips;
        for (int y = 0; y < count; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(rows) + y * stride);
            out.Pixels.insert(out.Pixels.end(), row, row + size.Width);
        }
        return true;
    };
    return png ? ReadPngRows(file.Data, file.Size, stripRows, strip) : ReadBmpRows(file.Data, file.Size, stripRows, strip);
}

std::vector<unsigned char> Unpacked(const char* name) {
    const res::PackedBitmap* packed = res::FindBitmapResource(name);
    return packed ? res::Unpack(*packed) : std::vector<unsigned char>();
}

std::uint32_t Word(unsigned char r, unsigned char g, unsigned char b) { return std::uint32_t(r) << 16 | g << 8 | b; }

TEST(PictureRows, EveryPictureReadsAsTheWholeDecodeAtAnyStripHeight) {
    for (const char* name : kPictures) {
        SCOPED_TRACE(name);
        const std::vector<unsigned char> bmpBytes = Unpacked(name);
        const res::EmbeddedFile* png = res::FindBitmapResource2x(name);
        ASSERT_TRUE(!bmpBytes.empty() && png);
        const res::EmbeddedFile bmpFile{bmpBytes.data(), bmpBytes.size()}, *bmp = &bmpFile;

        // 1x: the BMP decoder's triples.
        const auto layout = ParseBmp(bmp->Data, bmp->Size);
        ASSERT_TRUE(layout);
        const auto rgb = DecodeBmpRgb(*layout);
        ASSERT_TRUE(rgb);
        std::vector<std::uint32_t> whole;
        for (std::size_t i = 0; i < rgb->size(); i += 3) whole.push_back(Word((*rgb)[i], (*rgb)[i + 1], (*rgb)[i + 2]));

        // 2x: libpng's simplified whole-picture reader.
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&image, png->Data, png->Size));
        image.format = PNG_FORMAT_RGB;
        std::vector<unsigned char> pngRgb(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, pngRgb.data(), 0, nullptr));
        std::vector<std::uint32_t> whole2x;
        for (std::size_t i = 0; i < pngRgb.size(); i += 3) whole2x.push_back(Word(pngRgb[i], pngRgb[i + 1], pngRgb[i + 2]));

        for (int stripRows : {1, 7, 64, 100000}) {
            SCOPED_TRACE(stripRows);
            Collected one, two;
            ASSERT_TRUE(Collect(false, *bmp, stripRows, one));
            EXPECT_EQ(one.Size, (PictureSize{layout->Width, layout->Height}));
            EXPECT_EQ(one.Strips, (layout->Height + stripRows - 1) / stripRows);
            EXPECT_TRUE(one.Pixels == whole) << "1x pixels differ";
            ASSERT_TRUE(Collect(true, *png, stripRows, two));
            EXPECT_EQ(two.Size, (PictureSize{layout->Width * 2, layout->Height * 2}));
            EXPECT_TRUE(two.Pixels == whole2x) << "2x pixels differ";
        }
    }
}

TEST(PictureRows, DamagedPicturesAndStoppedReadsAreRefused) {
    const std::vector<unsigned char> bmpBytes = Unpacked("V7BG");
    const res::EmbeddedFile* png = res::FindBitmapResource2x("V7BG");
    ASSERT_TRUE(!bmpBytes.empty() && png);
    const res::EmbeddedFile bmpFile{bmpBytes.data(), bmpBytes.size()}, *bmp = &bmpFile;
    const std::vector<unsigned char> pngBytes(png->Data, png->Data + png->Size);
    std::vector<unsigned char> corrupt = pngBytes;
    for (std::size_t i = pngBytes.size() / 2; i < pngBytes.size() / 2 + 64; ++i) corrupt[i] ^= 0x5A;
    const struct {
        std::string Name;
        bool Png;
        std::vector<unsigned char> Bytes;
    } cases[] = {
        {"empty PNG", true, {}},
        {"PNG signature only", true, {pngBytes.begin(), pngBytes.begin() + 8}},
        {"PNG cut in half", true, {pngBytes.begin(), pngBytes.begin() + pngBytes.size() / 2}},
        {"PNG with damaged data", true, corrupt},
        {"BMP bytes read as PNG", true, {bmp->Data, bmp->Data + bmp->Size}},
        {"PNG bytes read as BMP", false, pngBytes},
        {"BMP cut short", false, {bmp->Data, bmp->Data + bmp->Size / 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Collected got;
        const res::EmbeddedFile file{c.Bytes.data(), c.Bytes.size()};
        EXPECT_FALSE(Collect(c.Png, file, 64, got));
    }
    // A reader that stops is told so.
    for (bool isPng : {false, true}) {
        int strips = 0;
        const RowStrip stopAtSecond = [&](PictureSize, int, int, const std::uint32_t*, std::size_t) { return ++strips < 2; };
        EXPECT_FALSE(isPng ? ReadPngRows(png->Data, png->Size, 64, stopAtSecond)
                           : ReadBmpRows(bmp->Data, bmp->Size, 64, stopAtSecond));
        EXPECT_EQ(strips, 2);
    }
}

}  // namespace
