// Small system services: the login user's name, the millisecond tick count,
// the Windows directory and the end of the session.
#pragma once

#include "host/types.h"

namespace host {

// *size: bytes offered on entry (terminator included); on success the bytes
// written, terminator included. Fails (0) when the name does not fit.
BOOL GetAccountName(char* buffer, DWORD* size);

// Milliseconds since the system started; wraps after about 49.7 days.
DWORD GetTickCount();
// The same count in 64 bits: it does not wrap while the machine runs.
ULONGLONG GetTickCount64();

// The Windows directory, "C:\WINDOWS" (no trailing backslash). Returns the
// length copied, or the size needed (terminator included) when size is too small.
UINT GetWindowsFolder(char* buffer, UINT size);

// Ends the session: log off (0), shut down, restart or power off, with
// EWX_FORCE ending programs without asking them. Nonzero when the system took
// the request. The emulated host hands it to its station drivers and never
// touches the machine it runs on.
constexpr UINT kExitLogOff = 0;
constexpr UINT kExitShutdown = 1;
constexpr UINT kExitReboot = 2;
constexpr UINT kExitForce = 4;
constexpr UINT kExitPowerOff = 8;
BOOL ExitWindowsEx(UINT flags, DWORD reserved);

}  // namespace host
