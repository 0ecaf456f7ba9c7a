// VS_VERSIONINFO blocks in the Windows 32-bit layout: the writer that gives the
// emulated driver files their version resource, and the reader that
// GetFileVersionInfo and VerQueryValue use.
//
// Each node: WORD wLength (the node with its children), WORD wValueLength
// (in characters for text, in bytes for binary), WORD wType (1 text, 0 binary),
// the UTF-16LE key with its NUL, padding to a DWORD boundary, the value,
// padding, then the children, each on a DWORD boundary. Boundaries count from
// the start of the block.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/types.h"

namespace host::emulated {

// VS_FIXEDFILEINFO, the value of the root node ("\").
struct FixedFileInfo {
    DWORD Signature;  // kFixedFileInfoSignature
    DWORD StrucVersion;
    DWORD FileVersionMS;  // major << 16 | minor
    DWORD FileVersionLS;  // build << 16 | revision
    DWORD ProductVersionMS;
    DWORD ProductVersionLS;
    DWORD FileFlagsMask;
    DWORD FileFlags;
    DWORD FileOS;
    DWORD FileType;
    DWORD FileSubtype;
    DWORD FileDateMS;
    DWORD FileDateLS;
};
static_assert(sizeof(FixedFileInfo) == 52);

constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;
constexpr DWORD kVosDosWindows32 = 0x00010004;
constexpr DWORD kVftApp = 1;
constexpr DWORD kVftDll = 2;
constexpr DWORD kVftVxd = 5;

using VersionNumbers = std::array<WORD, 4>;

// "2.30.0.112" -> {2, 30, 0, 112}; "4.00.950" -> {4, 0, 950, 0}. False unless
// the text is one to four dot-separated numbers of at most 65535.
bool ParseVersionNumbers(std::string_view text, VersionNumbers* numbers);

struct VersionBlockFields {
    VersionNumbers FileVersion{};
    VersionNumbers ProductVersion{};
    DWORD FileOS = kVosDosWindows32;
    DWORD FileType = kVftVxd;
    DWORD FileSubtype = 0;  // a driver's device number
    // StringFileInfo\040904B0 (U.S. English, Unicode) in this order, UTF-8:
    // {"FileVersion", "2.30.0.112"}, {"CompanyName", ...}, ...
    std::vector<std::pair<std::string, std::string>> Strings;
};

// A complete block: the fixed file info, the strings, and VarFileInfo\Translation
// (0x0409, 1200).
std::vector<BYTE> BuildVersionBlock(const VersionBlockFields& fields);

// A node's value inside a block.
struct VersionValue {
    const BYTE* Data = nullptr;
    std::size_t Size = 0;  // bytes
    bool Text = false;     // UTF-16LE
};

// Walks the block (at most blockSize bytes, and no further than the root's
// wLength) to the node named by subBlock: "\" is the root, whose value is the
// fixed file info; "\StringFileInfo\040904B0\FileVersion" a string. Names
// compare without regard to case. Malformed lengths make the walk fail; it
// never reads outside the block.
bool FindVersionValue(const BYTE* block, std::size_t blockSize, std::string_view subBlock, VersionValue* value);

// The first well-formed VS_VERSIONINFO block inside a file's bytes, found by its
// "VS_VERSION_INFO" key: its offset and length (the root's wLength).
bool LocateVersionBlock(std::string_view bytes, std::size_t* offset, std::size_t* length);

}  // namespace host::emulated
