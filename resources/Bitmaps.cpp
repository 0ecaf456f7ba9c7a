#include "resources/Bitmaps.h"

#include <zlib.h>

#include <climits>
#include <string>

#include "resources/EmbeddedBitmaps.h"

namespace res {
namespace {

// Resource names are plain ASCII; case folds only A-Z.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

template <typename Entry>
const Entry* Find(const Entry* table, std::size_t count, std::string_view name) {
    for (std::size_t i = 0; i < count; ++i)
        if (SameName(table[i].Name, name)) return &table[i];
    return nullptr;
}

}  // namespace

const PackedBitmap* FindBitmapResource(std::string_view name) {
    const auto* entry = Find(embedded::kBitmaps, embedded::kBitmapCount, name);
    return entry ? &entry->Bitmap : nullptr;
}

const EmbeddedFile* FindBitmapResource2x(std::string_view name) {
    const auto* entry = Find(embedded::kBitmaps2x, embedded::kBitmap2xCount, name);
    return entry ? &entry->File : nullptr;
}

const PackedBitmap* FindIconResource(unsigned id) {
    const auto* entry = Find(embedded::kIcons, embedded::kIconCount, "ICON" + std::to_string(id));
    return entry ? &entry->Bitmap : nullptr;
}

std::vector<unsigned char> Unpack(const PackedBitmap& bitmap) {
    if (!bitmap.Data || bitmap.Size > UINT_MAX || bitmap.FileSize > UINT_MAX) return {};
    std::vector<unsigned char> file(bitmap.FileSize);
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return {};  // 16: a gzip stream
    stream.next_in = const_cast<unsigned char*>(bitmap.Data);
    stream.avail_in = static_cast<uInt>(bitmap.Size);
    stream.next_out = file.data();
    stream.avail_out = static_cast<uInt>(file.size());
    // One call: the whole file fits. Anything but a clean end with every byte
    // written, and nothing over, is a damaged picture.
    const int rc = inflate(&stream, Z_FINISH);
    const bool whole = rc == Z_STREAM_END && stream.avail_out == 0 && stream.avail_in == 0;
    inflateEnd(&stream);
    if (!whole) return {};
    return file;
}

}  // namespace res
