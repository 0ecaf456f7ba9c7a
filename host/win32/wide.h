// Text at the seam between the host's UTF-8 and Windows' UTF-16 W calls.
// Plain C++ (no <windows.h>): wchar_t is Windows' 16-bit WCHAR here.
#pragma once

#include <string>
#include <string_view>

namespace host::win32 {

// UTF-8 to UTF-16, every byte taken (a NUL inside text too). False for bytes
// that are no UTF-8: a name or value is never passed on altered.
bool ToWide(std::string_view text, std::wstring* wide);
// A NUL-terminated name or path; false for null or not UTF-8.
bool ToWide(const char* text, std::wstring* wide);

// UTF-16 to UTF-8, every unit taken; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view wide);

// Copies text with its terminator into buffer when it fits in size bytes.
bool CopyWithTerminator(const std::string& text, char* buffer, std::size_t size);

}  // namespace host::win32
