// UTF-16LE, the text of version resources and of the Windows W calls, to and from the host's UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host::common {

// UTF-8 to UTF-16LE bytes; bytes that are not UTF-8 become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view text);

// UTF-16LE bytes (an odd last byte is ignored) to UTF-8, up to the first NUL;
// unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

}  // namespace host::common
