// The emulated host's code page is UTF-8. Case folding covers ASCII, the
// Latin-1 Supplement and Latin Extended-A letters; every other character
// compares as it stands. Bytes that are not valid UTF-8 are taken one by one.
#include "host/text.h"

namespace host {

namespace {

struct Char {
    char32_t Code;       // the code point; 0 when the byte is no character
    std::size_t Length;  // bytes it takes
    bool Valid;
};

// One character at the start of text (text must not be empty).
Char Decode(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 1) return {lead, 1, true};
    if (length == 0 || length > text.size()) return {0, 1, false};
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return {0, 1, false};
        code = (code << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kMinimum[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, 1, false};
    return {code, length, true};
}

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

void Encode(char32_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    while (!text.empty()) {
        Char c = Decode(text);
        char32_t f = c.Valid ? FoldChar(c.Code) : c.Code;
        if (f == c.Code)
            folded.append(text.substr(0, c.Length));  // also keeps invalid bytes as they are
        else
            Encode(f, &folded);
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
        std::size_t length = Decode(text.substr(used)).Length;
        if (used + length > maxBytes) break;
        used += length;
    }
    return used;
}

}  // namespace host
