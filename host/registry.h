// The system registry. Keys and value names compare without regard to case;
// every call returns a Windows status code (ERROR_SUCCESS on success).
#pragma once

#include <cstddef>

#include "host/types.h"

namespace host {

// Windows' limits: characters in one key name (a level of a path, counted in
// UTF-16 units as Windows counts them), the bytes such a name can take in the
// code page (UTF-8 on the emulated host: three bytes a unit at most), bytes in
// a value name, and how many levels keys nest below the root.
constexpr std::size_t kMaxKeyNameChars = 255;
constexpr std::size_t kMaxKeyNameBytes = 3 * kMaxKeyNameChars;
constexpr std::size_t kMaxValueNameBytes = 16383;
constexpr std::size_t kMaxKeyDepth = 512;

// Opens an existing key; fails with ERROR_FILE_NOT_FOUND when any level is missing.
LONG OpenRegKey(HKEY parent, const char* subKey, DWORD options, DWORD access, HKEY* result);
// Opens the key, making every missing level on the way. A key name holds
// printable characters only; a key deeper than kMaxKeyDepth is refused.
LONG CreateRegKey(HKEY parent, const char* subKey, HKEY* result);
LONG CloseRegKey(HKEY key);

// *size holds the bytes offered on entry. A value larger than that fails with
// ERROR_MORE_DATA, leaves data untouched and reports the size needed in *size.
// data may be null to ask for the size only. type may be null.
LONG QueryRegValue(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size);
// Stores the bytes exactly as given (a REG_SZ keeps its terminator if it was sent one).
// A name longer than kMaxValueNameBytes is refused with ERROR_INVALID_PARAMETER.
LONG SetRegValue(HKEY key, const char* valueName, DWORD type, const BYTE* data, DWORD size);
LONG DeleteRegValue(HKEY key, const char* valueName);
// Fails with ERROR_ACCESS_DENIED while the key has subkeys.
LONG DeleteRegKey(HKEY parent, const char* subKey);

// Subkeys in alphabetical order without regard to case; past the last one
// ERROR_NO_MORE_ITEMS. *nameSize: bytes offered (terminator included) on entry,
// characters written (terminator excluded) on success; ERROR_MORE_DATA when the
// name does not fit, with the bytes it needs (terminator included).
LONG EnumRegKey(HKEY key, DWORD index, char* name, DWORD* nameSize);
// Values in the order they were first stored. Same buffer rules for the name;
// data follows RegQueryValueEx's rules. Asking for index 0, 1, 2, ... on one
// open key costs the same for each step, however many items the key holds.
LONG EnumRegValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                  DWORD* dataSize);

// Makes every earlier write durable.
LONG FlushRegKey(HKEY key);

}  // namespace host
