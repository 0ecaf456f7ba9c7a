// <windows.h> for the Windows backend. The host seam's names were chosen to
// be none of its macros, so this may come before or after the host headers.
// The Windows calls are always named with their W suffix and :: in front; the
// host's types stay host::'s.
#pragma once

#ifndef UNICODE
#error "the Windows backend is built with UNICODE"
#endif

#include <windows.h>
#include <winternl.h>

namespace host::win32 {

// A registry handle value carried across the seam (handles are values, not
// pointers to anything of ours).
inline ::HKEY ToWinKey(host::HKEY key) { return reinterpret_cast<::HKEY>(reinterpret_cast<std::uintptr_t>(key)); }
inline host::HKEY ToHostKey(::HKEY key) { return reinterpret_cast<host::HKEY>(reinterpret_cast<std::uintptr_t>(key)); }

}  // namespace host::win32
