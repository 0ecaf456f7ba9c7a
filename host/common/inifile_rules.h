// What the settings-file calls promise on every backend beyond the plain file
// format: writes that would not read back as written are refused, and a value
// handed back is cut on a character boundary.
#pragma once

#include <string_view>

#include "host/types.h"

namespace host::common {

// The text without the blanks (space, tab, CR, LF) around it.
std::string_view IniTrim(std::string_view text);

// False for a write whose section, key or value would not read back as written:
// a line break anywhere, a key holding '=' or a section holding ']', a key that
// is blank or would start a comment or a section header. Null parts are allowed.
bool IniWriteAllowed(const char* section, const char* key, const char* value);

// Copies value into buffer (size bytes, size > 0) cut to size - 1 bytes on a
// character boundary, NUL-terminated. Returns the bytes copied, or size - 1
// when the value was cut.
DWORD CopyIniValue(std::string_view value, char* buffer, DWORD size);

}  // namespace host::common
