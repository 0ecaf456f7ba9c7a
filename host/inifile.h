// Settings files such as system.ini: "[section]" headers and "key=value" lines.
// Section and key names compare without regard to case.
#pragma once

#include "host/types.h"

namespace host {

// Copies the value of key in section (blanks around it trimmed, one pair of
// matching quotes removed) into buffer, cut to size - 1 bytes on a character
// boundary; a missing file, section or key gives defaultValue, and so does a
// file that is not a regular one (a link, a folder, a FIFO, a device). The
// first line of the key in any section of that name counts; lines may end in
// CR LF, LF or CR alone. Returns the bytes copied, terminator excluded, or
// size - 1 whenever the value was cut (however many bytes the cut left).
// section and key must be given.
DWORD GetIniString(const char* section, const char* key, const char* defaultValue, char* buffer,
                              DWORD size, const char* fileName);

// Sets key in section to value ("key=value", CR LF), adding the section and
// the file as needed. A null value deletes the key's line, a null key the whole
// section; each removes every line of it in every section of that name, and
// every other line stays as it was. All of section, key and value null
// flushes the file (writes are never held back). Fails (0) when the file
// cannot be written: off the drive, read-only, not a regular file, ...
BOOL WriteIniString(const char* section, const char* key, const char* value, const char* fileName);

}  // namespace host
