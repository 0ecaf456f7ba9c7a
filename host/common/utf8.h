// UTF-8, the host code page: one character at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host::common {

struct Utf8Char {
    char32_t Code;       // the code point; 0 when the byte is no character
    std::size_t Length;  // bytes it takes (1 for a byte that is no character)
    bool Valid;
};

// The character at the start of text (text must not be empty). Overlong forms,
// surrogates and values past U+10FFFF are not characters.
Utf8Char DecodeUtf8(std::string_view text);

void AppendUtf8(char32_t code, std::string* out);

// How many UTF-16 units text takes, as Windows counts a name's length (a byte
// that is no character counts as one).
std::size_t Utf16Length(std::string_view text);

}  // namespace host::common
