// Basic Windows types and status codes the system is written against.
// The emulated host keeps their Windows values so the code above reads the same
// on both backends. The constants are spelled so that none is a macro of
// <windows.h>: this header means the same before or after it.
#pragma once

#include <cstdint>

namespace host {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using ULONGLONG = std::uint64_t;

using HANDLE = void*;
inline HANDLE const kInvalidHandle = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Declared here, so a key is the same type whether or not <windows.h> (which
// has a global HKEY__ of its own) came first.
struct HKEY__;
using HKEY = HKEY__*;
inline HKEY const kLocalMachine = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));

constexpr LONG kErrorSuccess = 0;
constexpr LONG kErrorFileNotFound = 2;
constexpr LONG kErrorPathNotFound = 3;
constexpr LONG kErrorAccessDenied = 5;
constexpr LONG kErrorInvalidHandle = 6;
constexpr LONG kErrorInvalidParameter = 87;
constexpr LONG kErrorBadPathname = 161;
constexpr LONG kErrorMoreData = 234;
constexpr LONG kErrorNoMoreItems = 259;
constexpr LONG kErrorBadDb = 1009;
constexpr LONG kErrorKeyDeleted = 1018;

constexpr DWORD kRegNone = 0;
constexpr DWORD kRegSz = 1;
constexpr DWORD kRegBinary = 3;
constexpr DWORD kRegDword = 4;

constexpr DWORD kKeyAllAccess = 0xF003F;
constexpr DWORD kKeyRead = 0x20019;

// Limits kept in bytes, as on Windows with an 8-bit code page.
constexpr DWORD kMaxPath = 260;

}  // namespace host
