#include "host/common/utf16.h"

#include <cstdint>

#include "host/common/utf8.h"

namespace host::common {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void PutUnit(std::string* out, char16_t unit) {
    out->push_back(static_cast<char>(unit & 0xFF));
    out->push_back(static_cast<char>(unit >> 8));
}

// One UTF-8 character from the front of text; kReplacement for a bad byte.
char32_t NextUtf8(std::string_view* text) {
    const Utf8Char c = DecodeUtf8(*text);
    text->remove_prefix(c.Length);
    return c.Valid ? c.Code : kReplacement;
}

}  // namespace

std::string Utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    while (!text.empty()) {
        char32_t c = NextUtf8(&text);
        if (c >= 0x10000) {
            c -= 0x10000;
            PutUnit(&out, static_cast<char16_t>(0xD800 | (c >> 10)));
            PutUnit(&out, static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
        } else {
            PutUnit(&out, static_cast<char16_t>(c));
        }
    }
    return out;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    auto unit = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = unit(i);
        if (c == 0) break;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(c, &out);
    }
    return out;
}

}  // namespace host::common
