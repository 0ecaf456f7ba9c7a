// <windows.h> for the Windows backend, included AFTER the host headers. The W
// API's names that the host seam spells without a suffix are macros there
// (RegOpenKeyEx -> RegOpenKeyExW, ...): they are undefined here so the seam's
// own functions keep their names. The Windows calls are always named with
// their W suffix and :: in front; the host's types stay host::'s.
#pragma once

#ifndef UNICODE
#error "the Windows backend is built with UNICODE"
#endif

#include <windows.h>
#include <winternl.h>

#undef RegOpenKeyEx
#undef RegCreateKey
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteValue
#undef RegDeleteKey
#undef RegEnumKeyEx
#undef RegEnumValue
#undef FindFirstFile
#undef FindNextFile
#undef GetFileAttributes
#undef SetFileAttributes
#undef DeleteFile
#undef RemoveDirectory
#undef WIN32_FIND_DATA
#undef GetPrivateProfileString
#undef WritePrivateProfileString
#undef GetFileVersionInfoSize
#undef GetFileVersionInfo
#undef VerQueryValue
#undef GetUserName
#undef GetWindowsDirectory
#undef FormatMessage
#undef LoadString

namespace host::win32 {

// A registry handle value carried across the seam (handles are values, not
// pointers to anything of ours).
inline ::HKEY ToWinKey(host::HKEY key) { return reinterpret_cast<::HKEY>(reinterpret_cast<std::uintptr_t>(key)); }
inline host::HKEY ToHostKey(::HKEY key) { return reinterpret_cast<host::HKEY>(reinterpret_cast<std::uintptr_t>(key)); }

}  // namespace host::win32
