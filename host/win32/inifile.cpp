// Settings files through Windows' own profile calls. What the seam promises
// beyond them is kept here and in host/common/inifile_rules: a value is cut on
// a character boundary, a write that would not read back as written is
// refused, only a regular file is read or written, and deleting a key or a
// section removes every line of it, not only the first.
#include "host/inifile.h"

#include <string>
#include <vector>

#include "host/common/inifile_rules.h"
#include "host/text.h"
#include "host/win32/wide.h"
#include "host/win32/win_api.h"

namespace host {
namespace {

// Profile values are lines: one longer than this is not read whole.
constexpr ::DWORD kMaxValueUnits = 1u << 20;
// No line of a settings file holds a line break, so no value can be this.
constexpr const wchar_t* kAbsent = L"\n";
// Duplicate lines a delete removes, one call each, before giving up.
constexpr int kMaxDuplicates = 256;

// A file that is there but not a regular one (a folder, a link, a device) is
// neither read nor written; a missing one is, as empty.
bool RegularOrMissing(const std::wstring& file) {
    const ::DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// The whole value, or kAbsent's text when the key is not there; false when
// it cannot be read whole.
bool ReadValue(const wchar_t* section, const wchar_t* key, const std::wstring& file, std::wstring* value) {
    for (::DWORD units = 256; units <= kMaxValueUnits; units *= 2) {
        std::vector<wchar_t> buffer(units);
        const ::DWORD got = ::GetPrivateProfileStringW(section, key, kAbsent, buffer.data(), units, file.c_str());
        if (got < units - 1) {
            value->assign(buffer.data(), got);
            return true;
        }
    }
    return false;
}

bool HasSection(const std::wstring& section, const std::wstring& file) {
    for (::DWORD units = 4096; units <= kMaxValueUnits; units *= 2) {
        std::vector<wchar_t> names(units);
        const ::DWORD got = ::GetPrivateProfileSectionNamesW(names.data(), units, file.c_str());
        if (got >= units - 2) continue;  // cut: try again with more room
        const std::string wanted = win32::ToUtf8(section);
        for (const wchar_t* name = names.data(); *name; name += std::wcslen(name) + 1)
            if (MbsICmp(common::IniTrim(win32::ToUtf8(name)), common::IniTrim(wanted)) == 0) return true;
        return false;
    }
    return true;  // cannot tell: say it is there, so a delete does not claim success
}

// The spelling under which section holds key, found by the host's own case
// rule (Wine folds only ASCII letters); key itself when none matches.
std::wstring KeyAsWritten(const wchar_t* section, const std::wstring& key, const std::wstring& file) {
    for (::DWORD units = 4096; units <= kMaxValueUnits; units *= 2) {
        std::vector<wchar_t> names(units);
        const ::DWORD got = ::GetPrivateProfileStringW(section, nullptr, L"", names.data(), units, file.c_str());
        if (got >= units - 2) continue;  // cut: try again with more room
        const std::string wanted = win32::ToUtf8(key);
        for (const wchar_t* name = names.data(); *name; name += std::wcslen(name) + 1)
            if (MbsICmp(win32::ToUtf8(name), wanted) == 0) return name;
        break;
    }
    return key;
}

}  // namespace

DWORD GetIniString(const char* section, const char* key, const char* defaultValue, char* buffer,
                              DWORD size, const char* fileName) {
    if (!buffer || size == 0) return 0;
    std::string result = defaultValue ? defaultValue : "";
    std::wstring wideSection, wideKey, file, value;
    if (win32::ToWide(section, &wideSection) && win32::ToWide(key, &wideKey) && win32::ToWide(fileName, &file) &&
        RegularOrMissing(file) &&
        ReadValue(wideSection.c_str(), KeyAsWritten(wideSection.c_str(), wideKey, file).c_str(), file, &value) &&
        value != kAbsent)
        result = win32::ToUtf8(value);
    return common::CopyIniValue(result, buffer, size);
}

BOOL WriteIniString(const char* section, const char* key, const char* value, const char* fileName) {
    std::wstring file;
    if (!win32::ToWide(fileName, &file) || !RegularOrMissing(file)) return 0;
    // Refused here, not left to the file's permissions: a process with every
    // right (root under Wine) would write a read-only file.
    const ::DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return 0;
    if (!section && !key && !value) return ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str()) ? 1 : 0;
    std::wstring wideSection, wideKey, wideValue;
    if (!section || !common::IniWriteAllowed(section, key, value) || !win32::ToWide(section, &wideSection) ||
        (key && !win32::ToWide(key, &wideKey)) || (value && !win32::ToWide(value, &wideValue)))
        return 0;
    const wchar_t* k = key ? wideKey.c_str() : nullptr;
    if (value) return ::WritePrivateProfileStringW(wideSection.c_str(), k, wideValue.c_str(), file.c_str()) ? 1 : 0;
    // Windows removes the first line of the key (or the first section of the
    // name) per call: repeated until none is left.
    for (int round = 0; round < kMaxDuplicates; ++round) {
        bool present = true;
        if (key) {
            std::wstring current;
            if (!ReadValue(wideSection.c_str(), k, file, &current)) return 0;
            present = current != kAbsent;
        } else {
            present = HasSection(wideSection, file);
        }
        if (!present) return 1;
        if (!::WritePrivateProfileStringW(wideSection.c_str(), k, nullptr, file.c_str())) return 0;
    }
    return 0;
}

}  // namespace host
