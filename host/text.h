// Text in the system's 8-bit ANSI code page. The emulated host's code page is
// UTF-8 (65001): lengths stay in bytes, and every cut falls on a character boundary.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host {

// Multibyte-aware comparison without regard to case (at least ASCII and Latin
// letters are folded); <0, 0 or >0 like strcmp.
int MbsICmp(std::string_view a, std::string_view b);

// The text folded to one case, as MbsICmp compares it.
std::string FoldCase(std::string_view text);

// The longest prefix of text of at most maxBytes bytes that ends on a character boundary.
std::size_t CharBoundaryPrefix(std::string_view text, std::size_t maxBytes);

}  // namespace host
