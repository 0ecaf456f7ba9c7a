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

// The text as it may go to a terminal: control characters (bytes below 0x20 and
// 0x7F as \xNN, U+0080..U+009F as \uNNNN) and bytes that are no character as
// \xNN, so no escape sequence reaches the terminal. With keepLineBreaks, tabs,
// line feeds and CR LF pairs stay as they are; a lone CR is still escaped.
std::string TerminalText(std::string_view text, bool keepLineBreaks = false);

}  // namespace host
