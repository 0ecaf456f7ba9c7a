#include "host/win32/wide.h"

#include <cstring>

#include "host/common/utf8.h"

namespace host::win32 {

bool ToWide(std::string_view text, std::wstring* wide) {
    wide->clear();
    wide->reserve(text.size());
    while (!text.empty()) {
        const common::Utf8Char c = common::DecodeUtf8(text);
        if (!c.Valid) return false;
        if (c.Code >= 0x10000) {
            const char32_t v = c.Code - 0x10000;
            wide->push_back(static_cast<wchar_t>(0xD800 | (v >> 10)));
            wide->push_back(static_cast<wchar_t>(0xDC00 | (v & 0x3FF)));
        } else {
            wide->push_back(static_cast<wchar_t>(c.Code));
        }
        text.remove_prefix(c.Length);
    }
    return true;
}

bool ToWide(const char* text, std::wstring* wide) { return text && ToWide(std::string_view(text), wide); }

std::string ToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char16_t>(wide[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(wide[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        common::AppendUtf8(c, &out);
    }
    return out;
}

bool CopyWithTerminator(const std::string& text, char* buffer, std::size_t size) {
    if (!buffer || size < text.size() + 1) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace host::win32
