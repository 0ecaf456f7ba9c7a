// Small system services: the login user's name and the millisecond tick count.
#pragma once

#include "host/types.h"

namespace host {

// *size: bytes offered on entry (terminator included); on success the bytes
// written, terminator included. Fails (0) when the name does not fit.
BOOL GetUserName(char* buffer, DWORD* size);

// Milliseconds since the system started; wraps after about 49.7 days.
DWORD GetTickCount();
// The same count in 64 bits: it does not wrap while the machine runs.
ULONGLONG GetTickCount64();

// The Windows directory, "C:\WINDOWS" (no trailing backslash). Returns the
// length copied, or the size needed (terminator included) when size is too small.
UINT GetWindowsDirectory(char* buffer, UINT size);

}  // namespace host
