#include "panel/PictureRows.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "panel/BmpImage.h"

namespace {

constexpr int kMaxSide = 1 << 15;

struct Strip {
    int Width;
    int Rows;
    std::vector<std::uint32_t> Pixels;
    Strip(int width, int rows) : Width(width), Rows(rows), Pixels(std::size_t(width) * std::size_t(rows)) {}
    std::uint32_t* Row(int i) { return Pixels.data() + std::size_t(i) * std::size_t(Width); }
    std::size_t Stride() const { return std::size_t(Width) * sizeof(std::uint32_t); }
};

struct MemoryReader {
    const unsigned char* Data;
    std::size_t Size;
    std::size_t Offset;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->Size - reader->Offset) png_error(png, "truncated");
    std::memcpy(out, reader->Data + reader->Offset, count);
    reader->Offset += count;
}

// A damaged picture is an answer here, not something to print.
[[noreturn]] void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void QuietWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp: this part holds no object with a destructor
// between the jump's set-up and the calls that may jump. Rows go to one strip,
// handed on whenever it is full.
bool ReadPng(png_structp png, png_infop info, Strip*& strip, int stripRows, const RowStrip& onStrip) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    if (interlace != PNG_INTERLACE_NONE || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return false;
    // Whatever the stored form, to 8-bit blue, green, red and one unused byte
    // in memory order, which is 0x00RRGGBB read as a native 32-bit word.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    if constexpr (std::endian::native == std::endian::little) {
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    } else {
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
    }
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != width * 4) return false;

    const PictureSize size{int(width), int(height)};
    strip = new Strip(size.Width, std::min(stripRows, size.Height));
    for (int first = 0; first < size.Height; first += strip->Rows) {
        const int count = std::min(strip->Rows, size.Height - first);
        for (int i = 0; i < count; ++i) png_read_row(png, reinterpret_cast<png_bytep>(strip->Row(i)), nullptr);
        if (!onStrip(size, first, count, strip->Pixels.data(), strip->Stride())) return false;
    }
    return true;
}

}  // namespace

bool ReadPngRows(const unsigned char* data, std::size_t size, int stripRows, const RowStrip& strip) {
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0 || stripRows <= 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{data, size, 0};
    Strip* rows = nullptr;
    bool ok = false;
    if (info) {
        png_set_read_fn(png, &reader, ReadFromMemory);
        ok = ReadPng(png, info, rows, stripRows, strip);
    }
    delete rows;
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return ok;
}

bool ReadBmpRows(const unsigned char* data, std::size_t size, int stripRows, const RowStrip& strip) {
    const std::optional<BmpLayout> layout = ParseBmp(data, size);
    if (!layout || layout->Compression != 0 || stripRows <= 0) return false;
    const PictureSize picture{layout->Width, layout->Height};
    Strip rows(picture.Width, std::min(stripRows, picture.Height));
    std::vector<unsigned char> rgb(std::size_t(picture.Width) * 3);
    for (int first = 0; first < picture.Height; first += rows.Rows) {
        const int count = std::min(rows.Rows, picture.Height - first);
        for (int i = 0; i < count; ++i) {
            if (!DecodeBmpRowRgb(*layout, std::size_t(first + i), rgb.data())) return false;
            std::uint32_t* out = rows.Row(i);
            for (std::size_t x = 0; x < std::size_t(picture.Width); ++x)
                out[x] = std::uint32_t(rgb[3 * x]) << 16 | std::uint32_t(rgb[3 * x + 1]) << 8 | rgb[3 * x + 2];
        }
        if (!strip(picture, first, count, rows.Pixels.data(), rows.Stride())) return false;
    }
    return true;
}
