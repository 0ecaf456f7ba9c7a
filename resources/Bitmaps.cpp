#include "resources/Bitmaps.h"

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

const EmbeddedFile* Find(const embedded::NamedFile* table, std::size_t count, std::string_view name) {
    for (std::size_t i = 0; i < count; ++i)
        if (SameName(table[i].Name, name)) return &table[i].File;
    return nullptr;
}

}  // namespace

const EmbeddedFile* FindBitmapResource(std::string_view name) {
    return Find(embedded::kBitmaps, embedded::kBitmapCount, name);
}

const EmbeddedFile* FindBitmapResource2x(std::string_view name) {
    return Find(embedded::kBitmaps2x, embedded::kBitmap2xCount, name);
}

const EmbeddedFile* FindIconResource(unsigned id) {
    return Find(embedded::kIcons, embedded::kIconCount, "ICON" + std::to_string(id));
}

}  // namespace res
