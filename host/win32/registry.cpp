// The registry calls of the host seam on Windows' registry. Names and REG_SZ
// data cross the seam as UTF-8 on this side and UTF-16 on Windows'; a size the
// caller sees is always in UTF-8 bytes.
#include "host/registry.h"

#include <string>
#include <string_view>
#include <vector>

#include "host/common/utf8.h"
#include "host/win32/wide.h"
#include "host/win32/win_api.h"

namespace host {

using win32::ToHostKey;
using win32::ToWide;
using win32::ToWinKey;

namespace {

// Longest key name Windows allows, in UTF-16 units, with a terminator.
constexpr ::DWORD kKeyNameUnits = 256;
constexpr ::DWORD kValueNameUnits = 16384;

// A key path: every level one to 255 printable characters (counted as Windows
// counts them, in UTF-16 units; a control character would cut the name where
// it is passed on as text), at most kMaxKeyDepth levels, a trailing backslash
// ignored. Empty or null: the key itself. A leading backslash Windows itself
// answers (ERROR_BAD_PATHNAME). Windows documents the rest but Wine lets an
// empty level or a longer name through, so they are refused here.
bool IsKeyPath(const char* subKey) {
    if (!subKey) return true;
    std::string_view path = subKey;
    if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    std::size_t levels = 0;
    while (!path.empty()) {
        const std::size_t end = path.find('\\');
        const std::string_view name = path.substr(0, end);
        if (name.empty() || common::Utf16Length(name) > kMaxKeyNameChars) return false;
        for (char c : name)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
        if (++levels > kMaxKeyDepth) return false;
        path.remove_prefix(end == std::string_view::npos ? path.size() : end + 1);
    }
    return true;
}

// The optional name of a value ("" or null: the key's default value).
bool ValueName(const char* name, std::wstring* wide) {
    if (!name) {
        wide->clear();
        return true;
    }
    return std::string_view(name).size() <= kMaxValueNameBytes && ToWide(std::string_view(name), wide);
}

// REG_SZ data from Windows (UTF-16 units, as stored, terminator included if it
// was stored with one) as the host's UTF-8 bytes; other types as they are.
std::vector<BYTE> ToHostData(::DWORD type, const std::vector<BYTE>& raw) {
    if (type != REG_SZ) return raw;
    std::wstring wide(raw.size() / 2, L'\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<wchar_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
    const std::string text = win32::ToUtf8(wide);
    return std::vector<BYTE>(text.begin(), text.end());
}

// The rule of the seam's query calls: the value when it fits (or only its
// size when data is null), else ERROR_MORE_DATA with data untouched; the
// size needed is reported either way.
LONG HandOut(::DWORD winType, const std::vector<BYTE>& raw, DWORD* type, BYTE* data, DWORD* size) {
    const std::vector<BYTE> value = ToHostData(winType, raw);
    if (type) *type = winType;
    if (!size) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    const DWORD offered = *size;
    *size = static_cast<DWORD>(value.size());
    if (!data) return ERROR_SUCCESS;
    if (offered < value.size()) return ERROR_MORE_DATA;
    std::copy(value.begin(), value.end(), data);
    return ERROR_SUCCESS;
}

// Reads a value whole into raw, growing the buffer while the value grows.
template <typename Read>
LONG ReadWhole(Read read, ::DWORD* type, std::vector<BYTE>* raw) {
    ::DWORD size = 256;
    for (int attempt = 0; attempt < 8; ++attempt) {
        raw->assign(size, 0);
        ::DWORD got = size;
        const LONG status = read(type, raw->data(), &got);
        if (status == ERROR_SUCCESS) {
            raw->resize(got);
            return status;
        }
        if (status != ERROR_MORE_DATA) return status;
        size = got > size ? got : size * 2;
    }
    return ERROR_MORE_DATA;
}

// A name Windows handed back, given to the caller as UTF-8 under the seam's
// buffer rule: *nameSize bytes offered (terminator included) on entry, bytes
// written (terminator excluded) on success, bytes needed (terminator
// included) when they do not fit.
LONG HandOutName(const std::wstring& wide, char* name, DWORD* nameSize) {
    if (!nameSize) return ERROR_INVALID_PARAMETER;
    const std::string text = win32::ToUtf8(wide);
    if (!win32::CopyWithTerminator(text, name, *nameSize)) {
        *nameSize = static_cast<DWORD>(text.size() + 1);
        return ERROR_MORE_DATA;
    }
    *nameSize = static_cast<DWORD>(text.size());
    return ERROR_SUCCESS;
}

}  // namespace

LONG OpenRegKey(HKEY parent, const char* subKey, DWORD options, DWORD access, HKEY* result) {
    std::wstring path;
    if (!result || !IsKeyPath(subKey) || (subKey && !ToWide(subKey, &path))) return ERROR_INVALID_PARAMETER;
    ::HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExW(ToWinKey(parent), subKey ? path.c_str() : nullptr, options, access, &opened);
    if (status == ERROR_SUCCESS) *result = ToHostKey(opened);
    return status;
}

LONG CreateRegKey(HKEY parent, const char* subKey, HKEY* result) {
    std::wstring path;
    if (!result || !IsKeyPath(subKey) || (subKey && !ToWide(subKey, &path))) return ERROR_INVALID_PARAMETER;
    ::HKEY created = nullptr;
    const LONG status = ::RegCreateKeyExW(ToWinKey(parent), subKey ? path.c_str() : L"", 0, nullptr,
                                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &created, nullptr);
    if (status == ERROR_SUCCESS) *result = ToHostKey(created);
    return status;
}

LONG CloseRegKey(HKEY key) { return ::RegCloseKey(ToWinKey(key)); }

LONG QueryRegValue(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size) {
    std::wstring name;
    if (!ValueName(valueName, &name)) return ERROR_INVALID_PARAMETER;
    ::DWORD winType = 0;
    std::vector<BYTE> raw;
    const LONG status = ReadWhole(
        [&](::DWORD* t, BYTE* d, ::DWORD* s) { return ::RegQueryValueExW(ToWinKey(key), name.c_str(), nullptr, t, d, s); },
        &winType, &raw);
    if (status != ERROR_SUCCESS) return status;
    return HandOut(winType, raw, type, data, size);
}

LONG SetRegValue(HKEY key, const char* valueName, DWORD type, const BYTE* data, DWORD size) {
    std::wstring name;
    if (!ValueName(valueName, &name) || (!data && size)) return ERROR_INVALID_PARAMETER;
    if (type != REG_SZ) return ::RegSetValueExW(ToWinKey(key), name.c_str(), 0, type, data, size);
    // Every byte converted, a terminator sent along included, so it comes back as given.
    std::wstring text;
    if (!ToWide(std::string_view(reinterpret_cast<const char*>(data), size), &text)) return ERROR_INVALID_PARAMETER;
    std::vector<BYTE> units(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        units[2 * i] = static_cast<BYTE>(text[i] & 0xFF);
        units[2 * i + 1] = static_cast<BYTE>(static_cast<char16_t>(text[i]) >> 8);
    }
    return ::RegSetValueExW(ToWinKey(key), name.c_str(), 0, REG_SZ, units.data(), static_cast<::DWORD>(units.size()));
}

LONG DeleteRegValue(HKEY key, const char* valueName) {
    std::wstring name;
    if (!ValueName(valueName, &name)) return ERROR_INVALID_PARAMETER;
    return ::RegDeleteValueW(ToWinKey(key), name.c_str());
}

LONG DeleteRegKey(HKEY parent, const char* subKey) {
    std::wstring path;
    if (!IsKeyPath(subKey) || !ToWide(subKey, &path)) return ERROR_INVALID_PARAMETER;
    return ::RegDeleteKeyW(ToWinKey(parent), path.c_str());
}

LONG EnumRegKey(HKEY key, DWORD index, char* name, DWORD* nameSize) {
    if (!nameSize) return ERROR_INVALID_PARAMETER;
    wchar_t found[kKeyNameUnits];
    ::DWORD units = kKeyNameUnits;
    const LONG status = ::RegEnumKeyExW(ToWinKey(key), index, found, &units, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return status;
    return HandOutName(std::wstring(found, units), name, nameSize);
}

LONG EnumRegValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (!nameSize) return ERROR_INVALID_PARAMETER;
    std::vector<wchar_t> found(kValueNameUnits);
    ::DWORD units = 0;
    ::DWORD winType = 0;
    std::vector<BYTE> raw;
    const LONG status = ReadWhole(
        [&](::DWORD* t, BYTE* d, ::DWORD* s) {
            units = kValueNameUnits;
            return ::RegEnumValueW(ToWinKey(key), index, found.data(), &units, nullptr, t, d, s);
        },
        &winType, &raw);
    if (status != ERROR_SUCCESS) return status;
    const std::wstring wideName(found.data(), units);
    const std::string utf8Name = win32::ToUtf8(wideName);
    // The name is checked first so a failure leaves every buffer as it was.
    if (!name || *nameSize < utf8Name.size() + 1) {
        *nameSize = static_cast<DWORD>(utf8Name.size() + 1);
        return ERROR_MORE_DATA;
    }
    if (dataSize && data && *dataSize < ToHostData(winType, raw).size()) {
        *dataSize = static_cast<DWORD>(ToHostData(winType, raw).size());
        return ERROR_MORE_DATA;
    }
    const LONG handed = HandOut(winType, raw, type, data, dataSize);
    if (handed != ERROR_SUCCESS) return handed;
    return HandOutName(wideName, name, nameSize);
}

LONG FlushRegKey(HKEY key) { return ::RegFlushKey(ToWinKey(key)); }

}  // namespace host
