// The host code page is UTF-8 (the emulated host's own, and what the Windows backend
// converts its UTF-16 calls to and from). Case folding covers ASCII, the
// Latin-1 Supplement and Latin Extended-A letters; every other character
// compares as it stands. Bytes that are not valid UTF-8 are taken one by one.
#include "host/text.h"

#include "host/common/utf8.h"

namespace host {

namespace {

using common::AppendUtf8;
using common::DecodeUtf8;
using common::Utf8Char;

char32_t FoldChar(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c >= 0x100 && c <= 0x137 && c != 0x130) return c | 1;  // even capital, odd small
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;  // odd capital, even small
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    return c;
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    // Registry names are mostly ASCII, which folds a byte at a time.
    std::size_t ascii = 0;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    folded.assign(text.substr(0, ascii));
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    text.remove_prefix(ascii);
    while (!text.empty()) {
        Utf8Char c = DecodeUtf8(text);
        char32_t f = c.Valid ? FoldChar(c.Code) : c.Code;
        if (f == c.Code)
            folded.append(text.substr(0, c.Length));  // also keeps invalid bytes as they are
        else
            AppendUtf8(f, &folded);
        text.remove_prefix(c.Length);
    }
    return folded;
}

int MbsICmp(std::string_view a, std::string_view b) {
    // Folding keeps UTF-8's code point order, so the folded bytes compare as the text does.
    int order = FoldCase(a).compare(FoldCase(b));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

std::size_t CharBoundaryPrefix(std::string_view text, std::size_t maxBytes) {
    std::size_t used = 0;
    while (used < text.size()) {
        std::size_t length = DecodeUtf8(text.substr(used)).Length;
        if (used + length > maxBytes) break;
        used += length;
    }
    return used;
}

}  // namespace host
