// File version resources through Windows' version calls. A string value is
// handed back in the host's UTF-8, its length in bytes (the code page's
// characters), terminator included.
#include "host/version.h"

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>

#include "host/text.h"
#include "host/win32/wide.h"
#include "host/win32/win_api.h"

namespace host {
namespace {

// A bare file name is looked for where the driver files are kept, the system
// folder below the Windows directory, then the Windows directory itself.
std::wstring ResolveFile(const char* fileName) {
    std::wstring name;
    if (!win32::ToWide(fileName, &name) || name.empty()) return {};
    if (name.find_first_of(L"\\/:") != std::wstring::npos) return name;
    wchar_t windows[MAX_PATH];
    const ::UINT units = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (units == 0 || units >= MAX_PATH) return name;
    for (const wchar_t* folder : {L"\\SYSTEM\\", L"\\"}) {
        std::wstring path = std::wstring(windows, units) + folder + name;
        const ::DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return path;
    }
    return name;
}

// Strings handed out by VerQueryValue, kept for the life of the process (one
// copy of each distinct text), so the pointer stays good whatever the caller
// does with its block.
const std::string& Interned(std::string text) {
    static std::mutex mutex;
    static std::unordered_set<std::string> texts;
    std::lock_guard lock(mutex);
    return *texts.insert(std::move(text)).first;
}

bool IsStringPath(std::string_view subBlock) {
    while (!subBlock.empty() && subBlock.front() == '\\') subBlock.remove_prefix(1);
    constexpr std::string_view kStrings = "StringFileInfo\\";
    return subBlock.size() > kStrings.size() && MbsICmp(subBlock.substr(0, kStrings.size()), kStrings) == 0;
}

}  // namespace

DWORD GetVersionInfoSize(const char* fileName, DWORD* handle) {
    if (handle) *handle = 0;
    const std::wstring file = ResolveFile(fileName);
    if (file.empty()) return 0;
    ::DWORD ignored = 0;
    return ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
}

BOOL GetVersionInfo(const char* fileName, DWORD handle, DWORD length, void* data) {
    const std::wstring file = ResolveFile(fileName);
    if (!data || file.empty()) return 0;
    return ::GetFileVersionInfoW(file.c_str(), 0, length, data) ? 1 : 0;
}

BOOL QueryVersionValue(const void* block, const char* subBlock, void** buffer, UINT* length) {
    std::wstring path;
    if (!block || !buffer || !length || !win32::ToWide(subBlock, &path)) return 0;
    void* found = nullptr;
    ::UINT size = 0;
    if (!::VerQueryValueW(block, path.c_str(), &found, &size) || !found) return 0;
    if (IsStringPath(subBlock)) {
        // size counts UTF-16 units, terminator included when there is one.
        std::wstring_view text(static_cast<const wchar_t*>(found), size);
        if (const std::size_t nul = text.find(L'\0'); nul != std::wstring_view::npos) text = text.substr(0, nul);
        const std::string& utf8 = Interned(win32::ToUtf8(text));
        *buffer = const_cast<char*>(utf8.c_str());
        *length = static_cast<UINT>(utf8.size() + 1);
        return 1;
    }
    if (size == 0) return 0;
    if (std::string_view(subBlock).find_first_not_of('\\') == std::string_view::npos) {
        // The root's value must be a whole VS_FIXEDFILEINFO before a caller reads it as one.
        VS_FIXEDFILEINFO fixed{};
        if (size < sizeof fixed) return 0;
        std::memcpy(&fixed, found, sizeof fixed);
        if (fixed.dwSignature != 0xFEEF04BD) return 0;
    }
    *buffer = found;
    *length = size;
    return 1;
}

}  // namespace host
