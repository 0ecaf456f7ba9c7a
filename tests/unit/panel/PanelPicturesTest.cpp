// The panel's pictures: every built-in picture in its format and size, read a
// strip of rows at a time as the whole decode gives it at both sizes, the
// background's palette, and the BMP decoder on small pictures made here.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "panel/BackgroundPalette.h"
#include "panel/BmpImage.h"
#include "panel/PictureRows.h"
#include "resources/Bitmaps.h"

namespace {

std::uint32_t U32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

void Put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A bottom-up uncompressed picture, all pixels 0, whose colour-table entry i is
// (blue, green, red) = (i, 2i, 3i) modulo 256 with a reserved byte of 0xEE.
std::vector<unsigned char> Make(std::uint32_t width, std::uint32_t height, unsigned bitCount, std::uint32_t colorsUsed) {
    const std::uint32_t colors = colorsUsed ? colorsUsed : (bitCount <= 8 ? 1u << bitCount : 0);
    const std::uint32_t stride = (width * bitCount + 31) / 32 * 4;
    const std::uint32_t offset = 14 + 40 + colors * 4;
    std::vector<unsigned char> b(offset + stride * height, 0);
    b[0] = 'B', b[1] = 'M';
    // File size, pixel offset, header size, width, height, one plane and the bit count, colours used.
    for (auto [at, value] : {std::pair<std::size_t, std::uint32_t>{2, static_cast<std::uint32_t>(b.size())},
                             {10, offset}, {14, 40}, {18, width}, {22, height}, {26, 1 | bitCount << 16},
                             {46, colorsUsed}})
        Put32(b, at, value);
    for (std::uint32_t i = 0; i < colors; ++i) Put32(b, 54 + 4 * i, 0xEE000000u | (3 * i % 256) << 16 | (2 * i % 256) << 8 | i % 256);
    return b;
}

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

std::uint32_t Word(unsigned char r, unsigned char g, unsigned char b) { return std::uint32_t(r) << 16 | g << 8 | b; }

// Every picture: an uncompressed bottom-up 8-bit BMP of its size; read a strip
// of rows at a time, the same pixels as the whole decode, at 1x (the BMP
// decoder's) and 2x (libpng's whole-picture reader's), whatever the strip height.
TEST(BitmapResources, EveryPictureUnpacksToAn8BitBmpOfItsSizeAndReadsAsTheWholeDecodeInStrips) {
    struct Picture {
        std::string Name;
        int Width, Height;
        const res::PackedBitmap* Packed = nullptr;
    };
    std::vector<Picture> pictures{{"V7BG", 450, 330, res::FindBitmapResource("V7BG")},
                                  {"icon 128", 32, 32, res::FindIconResource(128)}};
    const Picture buttons[] = {{"BROADCAST", 220, 45}, {"USER", 220, 45}, {"OPTIONS", 220, 45}, {"TEST", 220, 45},
                               {"ON", 48, 20},         {"OFF", 49, 20},   {"HELP", 98, 25},     {"EXIT", 98, 25}};
    for (const Picture& b : buttons)
        for (const char* state : {"U", "D", "F", "X"})
            pictures.push_back({b.Name + state, b.Width, b.Height, res::FindBitmapResource(b.Name + state)});

    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.Name);
        ASSERT_NE(p.Packed, nullptr);
        // Kept compressed, with the size its header gives at hand.
        EXPECT_LT(p.Packed->Size, p.Packed->FileSize);
        EXPECT_EQ(p.Packed->Width, p.Width);
        EXPECT_EQ(p.Packed->Height, p.Height);
        const std::vector<unsigned char> file = res::Unpack(*p.Packed);
        ASSERT_EQ(file.size(), p.Packed->FileSize);
        // Headers, colour table and pixel rows all lie inside the bytes.
        const auto layout = ParseBmp(file.data(), file.size());
        ASSERT_TRUE(layout);
        EXPECT_EQ(U32(file.data() + 2), file.size());
        EXPECT_EQ(U32(file.data() + 14), 40u);
        EXPECT_EQ(layout->BitCount, 8u);
        EXPECT_EQ(layout->Compression, 0u);
        EXPECT_FALSE(layout->TopDown);
        EXPECT_EQ(layout->Width, p.Width);
        EXPECT_EQ(layout->Height, p.Height);
        if (p.Name == "icon 128") continue;  // no 2x picture, not drawn in strips
        const res::EmbeddedFile* png = res::FindBitmapResource2x(p.Name);
        ASSERT_TRUE(png);
        const res::EmbeddedFile bmp{file.data(), file.size()};
        const auto rgb = DecodeBmpRgb(*layout);
        ASSERT_TRUE(rgb);
        std::vector<std::uint32_t> whole, whole2x;
        for (std::size_t i = 0; i < rgb->size(); i += 3) whole.push_back(Word((*rgb)[i], (*rgb)[i + 1], (*rgb)[i + 2]));
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&image, png->Data, png->Size));
        image.format = PNG_FORMAT_RGB;
        std::vector<unsigned char> pngRgb(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, pngRgb.data(), 0, nullptr));
        for (std::size_t i = 0; i < pngRgb.size(); i += 3) whole2x.push_back(Word(pngRgb[i], pngRgb[i + 1], pngRgb[i + 2]));
        for (int stripRows : {1, 7, 64, 100000}) {
            SCOPED_TRACE(stripRows);
            Collected one, two;
            ASSERT_TRUE(Collect(false, bmp, stripRows, one));
            EXPECT_EQ(one.Size, (PictureSize{p.Width, p.Height}));
            EXPECT_EQ(one.Strips, (p.Height + stripRows - 1) / stripRows);
            EXPECT_TRUE(one.Pixels == whole) << "1x pixels differ";
            ASSERT_TRUE(Collect(true, *png, stripRows, two));
            EXPECT_EQ(two.Size, (PictureSize{p.Width * 2, p.Height * 2}));
            EXPECT_TRUE(two.Pixels == whole2x) << "2x pixels differ";
        }
    }
}

TEST(BitmapResources, DamagedOrMisSizedStreamsUnpackToNothing) {
    const res::PackedBitmap& real = *res::FindBitmapResource("BROADCASTU");
    const std::vector<unsigned char> bytes(real.Data, real.Data + real.Size);
    std::vector<unsigned char> flipped = bytes;
    for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 16; ++i) flipped[i] ^= 0x5A;
    std::vector<unsigned char> longer = bytes;
    longer.push_back(0);  // trailing bytes after the stream
    const struct {
        const char* Name;
        std::vector<unsigned char> Bytes;
        std::size_t FileSize;
    } cases[] = {
        {"nothing", {}, real.FileSize},
        {"cut short", {bytes.begin(), bytes.begin() + bytes.size() / 2}, real.FileSize},
        {"trailer missing", {bytes.begin(), bytes.end() - 4}, real.FileSize},
        {"damaged data", flipped, real.FileSize},
        {"bytes after the stream", longer, real.FileSize},
        {"file larger than said", bytes, real.FileSize - 1},
        {"file smaller than said", bytes, real.FileSize + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const res::PackedBitmap packed{c.Bytes.data(), c.Bytes.size(), c.FileSize, real.Width, real.Height};
        EXPECT_TRUE(res::Unpack(packed).empty());
    }
    EXPECT_EQ(res::Unpack(real).size(), real.FileSize);
}

TEST(BitmapResources, NamesMatchWithoutRegardToCaseAndNothingElse) {
    const res::PackedBitmap* upper = res::FindBitmapResource("BROADCASTU");
    ASSERT_NE(upper, nullptr);
    for (const char* name : {"broadcastu", "BroadcastU"}) EXPECT_EQ(res::FindBitmapResource(name), upper) << name;
    EXPECT_EQ(res::FindBitmapResource("v7bg"), res::FindBitmapResource("V7BG"));
    EXPECT_NE(res::FindBitmapResource("ONU"), res::FindBitmapResource("ONX"));
    for (const char* name : {"", "BROADCAST", "BROADCASTUU", "BROADCASTU.bmp", "ONZ", "ICON128", "V7B"})
        EXPECT_EQ(res::FindBitmapResource(name), nullptr) << name;
    for (int icon : {0, 129}) EXPECT_EQ(res::FindIconResource(icon), nullptr) << icon;
}

std::optional<LogicalPalette> Build(const std::vector<unsigned char>& b) {
    return BuildBackgroundPalette(b.data(), b.size());
}

std::array<int, 4> Rgbf(const PaletteEntry& e) { return {e.Red, e.Green, e.Blue, e.Flags}; }

// Entry i is the file's colour table entry i (blue, green, red, reserved) without the reserved byte.
TEST(BackgroundPalette, OneEntryPerColourUsedOrPerIndexWithoutTheReservedByte) {
    auto topDown = Make(4, 3, 8, 0);
    Put32(topDown, 22, static_cast<std::uint32_t>(-3));
    const std::pair<std::vector<unsigned char>, std::size_t> cases[] = {
        {res::Unpack(*res::FindBitmapResource("V7BG")), 256},
        {Make(3, 2, 8, 0), 256}, {Make(4, 4, 8, 16), 16}, {Make(4, 4, 4, 0), 16}, {Make(9, 1, 1, 0), 2}, {topDown, 256},
    };
    for (const auto& [bmp, count] : cases) {
        SCOPED_TRACE(count);
        const auto palette = Build(bmp);
        ASSERT_TRUE(palette);
        EXPECT_EQ(palette->Version, 0x300);
        ASSERT_EQ(palette->Entries.size(), count);
        const unsigned char* table = bmp.data() + 14 + 40;
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(Rgbf(palette->Entries[i]), (std::array<int, 4>{table[4 * i + 2], table[4 * i + 1], table[4 * i], 0})) << i;
    }
}

TEST(BackgroundPalette, DamagedOrTableLessImagesGiveNothing) {
    EXPECT_FALSE(BuildBackgroundPalette(nullptr, 0));
    const auto whole = Make(5, 3, 8, 0);
    // Cut inside the file header, the info header, the colour table and the pixels.
    for (std::size_t cut : {0u, 10u, 14u, 40u, 53u, 54u, 600u, 1077u, 1078u, 1093u})
        EXPECT_FALSE(Build(std::vector<unsigned char>(whole.begin(), whole.begin() + cut))) << "cut at " << cut;

    const auto good = Make(4, 4, 8, 0);
    const struct {
        std::size_t At;
        std::uint32_t Value;
        const char* What;
    } changes[] = {
        {0, 0x4D58, "magic"}, {46, 100000, "colours used beyond the file"}, {14, 12, "header too short"},
        {14, 0xFFFFFFF0u, "header size beyond the file"}, {10, 0xFFFFFFF0u, "pixels beyond the file"},
        {10, 14 + 40 + 100, "pixels overlap the colour table"}, {18, 0, "no width"}, {22, 0, "no height"},
        {18, 0x7FFFFFFF, "width beyond the file"}, {30, 3, "bit fields"}, {30, 2, "4-bit run-length on 8-bit pixels"},
    };
    for (const auto& c : changes) {
        auto bmp = good;
        Put32(bmp, c.At, c.Value);
        EXPECT_FALSE(Build(bmp)) << c.What;
    }
    // 300 entries the file really holds are still more than 8 bits index.
    EXPECT_FALSE(Build(Make(4, 4, 8, 300)));
    for (unsigned bits : {16u, 24u, 32u}) EXPECT_FALSE(Build(Make(4, 4, bits, 0))) << bits << " bits";
}

// The built-in pictures' own decoding: GUI test PanelBitmapDecode. Here: the
// other row order, packed pixels, and an index past the colour table.
TEST(BmpDecode, ReadsTopDownRowsAndPackedPixelsAndRefusesIndexesPastTheTable) {
    auto decode = [](const std::vector<unsigned char>& bmp) {
        const std::optional<BmpLayout> layout = ParseBmp(bmp.data(), bmp.size());
        EXPECT_TRUE(layout.has_value());
        return layout ? DecodeBmpRgb(*layout) : std::nullopt;
    };
    auto rgb = [](std::initializer_list<int> indexes) {  // entry i is (3i, 2i, i)
        std::vector<unsigned char> out;
        for (int i : indexes) out.insert(out.end(), {(unsigned char)(3 * i), (unsigned char)(2 * i), (unsigned char)i});
        return std::optional(out);
    };
    auto topDown = Make(3, 2, 4, 0);  // 4 bits: rows of 4 bytes after 16 colours
    Put32(topDown, 22, static_cast<std::uint32_t>(-2));
    topDown[14 + 40 + 16 * 4] = 0x5A;
    topDown[14 + 40 + 16 * 4 + 1] = 0xF0;
    topDown[14 + 40 + 16 * 4 + 4] = 0x12;
    EXPECT_EQ(decode(topDown), rgb({5, 10, 15, 1, 2, 0}));

    auto mono = Make(9, 1, 1, 0);
    mono[14 + 40 + 2 * 4] = 0b10100000;
    mono[14 + 40 + 2 * 4 + 1] = 0b10000000;
    EXPECT_EQ(decode(mono), rgb({1, 0, 1, 0, 0, 0, 0, 0, 1}));

    auto fourColours = Make(1, 1, 8, 4);
    fourColours[14 + 40 + 4 * 4] = 4;
    EXPECT_EQ(decode(fourColours), std::nullopt);
}

TEST(PictureRows, DamagedPicturesAndStoppedReadsAreRefused) {
    const std::vector<unsigned char> bmpBytes = res::Unpack(*res::FindBitmapResource("V7BG"));
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
