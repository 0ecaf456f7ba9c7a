// Files and folders through Windows' file calls. A reparse point (symbolic
// link, junction) is an entry of its own, never what it points to. The calls
// relative to a folder open each name relative to the folder's handle
// (NtCreateFile with the folder as its root directory, the name looked up
// without regard to case) and open a reparse point as itself, so a junction
// put in the place of a listed folder cannot lead a tree walk elsewhere.
#include "host/files.h"

#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "host/text.h"
#include "host/win32/wide.h"
#include "host/win32/win_api.h"

namespace host {
namespace {

// Where a folder is on its volume: what a listing saw under a name.
struct FileId {
    ::DWORD Volume = 0, High = 0, Low = 0;
    bool operator==(const FileId&) const = default;
};
// Folded name -> the folder a search of this folder last listed under it.
using ListedFolders = std::map<std::string, FileId>;

struct Folder {
    ::HANDLE Dir = INVALID_HANDLE_VALUE;
    std::shared_ptr<ListedFolders> Listed = std::make_shared<ListedFolders>();
};

struct Search {
    ::HANDLE Find = INVALID_HANDLE_VALUE;
    ::HANDLE Dir = nullptr;  // the folder searched, when the search is relative to one
    std::shared_ptr<ListedFolders> Listed;
};

constexpr ::DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ::DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

Folder* AsFolder(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE ? static_cast<Folder*>(handle) : nullptr;
}

// A name of this folder only: never a path, never the parent.
bool IsEntryName(const char* name, std::wstring* wide) {
    if (!name || !*name || std::string_view(name) == "..") return false;
    for (const char* c = name; *c; ++c)
        if (*c == '/' || *c == '\\' || *c == ':') return false;
    return win32::ToWide(name, wide);
}

// Opens name in the folder dir as itself (a reparse point is not followed).
::HANDLE OpenAt(::HANDLE dir, const std::wstring& name, ::ACCESS_MASK access, ::ULONG options) {
    UNICODE_STRING unicode{};
    unicode.Buffer = const_cast<wchar_t*>(name.c_str());
    unicode.Length = static_cast<::USHORT>(name.size() * sizeof(wchar_t));
    unicode.MaximumLength = unicode.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &unicode, OBJ_CASE_INSENSITIVE, dir, nullptr);
    IO_STATUS_BLOCK io{};
    ::HANDLE opened = nullptr;
    const NTSTATUS status =
        ::NtCreateFile(&opened, access | SYNCHRONIZE, &attributes, &io, nullptr, 0, kShareAll, FILE_OPEN,
                       options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT,
                       nullptr, 0);
    return NT_SUCCESS(status) ? opened : INVALID_HANDLE_VALUE;
}

bool Information(::HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
    return file != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(file, info);
}

FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// The full path of an open file or folder ("\\?\C:\...").
std::wstring PathOf(::HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const ::DWORD units = ::GetFinalPathNameByHandleW(file, path.data(), static_cast<::DWORD>(path.size()),
                                                          FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (units == 0) return {};
        if (units < path.size()) {
            path.resize(units);
            return path;
        }
        path.assign(units + 1, L'\0');
    }
    return {};
}

bool IsDotName(const wchar_t* name) { return !std::wcscmp(name, L".") || !std::wcscmp(name, L".."); }

// The next entry a Windows path can hold (at most MAX_PATH - 1 bytes in UTF-8),
// starting with found; false past the last one. A folder found in a folder
// searched by handle is remembered as listed.
bool Deliver(Search& search, WIN32_FIND_DATAW& found, FindData* data) {
    do {
        const std::string name = win32::ToUtf8(found.cFileName);
        if (name.size() >= MAX_PATH) continue;
        if (search.Listed && !IsDotName(found.cFileName) && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            ::HANDLE entry = OpenAt(search.Dir, found.cFileName, FILE_READ_ATTRIBUTES, FILE_DIRECTORY_FILE);
            BY_HANDLE_FILE_INFORMATION info{};
            if (Information(entry, &info)) (*search.Listed)[FoldCase(name)] = IdOf(info);
            if (entry != INVALID_HANDLE_VALUE) ::CloseHandle(entry);
        }
        data->dwFileAttributes = found.dwFileAttributes;
        std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
        return true;
    } while (::FindNextFileW(search.Find, &found));
    return false;
}

HANDLE Start(const std::wstring& pattern, ::HANDLE dir, std::shared_ptr<ListedFolders> listed, FindData* data) {
    auto search = std::make_unique<Search>();
    search->Dir = dir;
    search->Listed = std::move(listed);
    WIN32_FIND_DATAW found{};
    search->Find = ::FindFirstFileW(pattern.c_str(), &found);
    if (search->Find == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
    if (!Deliver(*search, found, data)) {
        ::FindClose(search->Find);
        return INVALID_HANDLE_VALUE;
    }
    return search.release();
}

// The attributes a change leaves: only the read-only bit follows the request.
::DWORD Changed(::DWORD current, DWORD requested) {
    ::DWORD kept = (current & kSettable & ~FILE_ATTRIBUTE_READONLY) | (requested & FILE_ATTRIBUTE_READONLY);
    return kept ? kept : FILE_ATTRIBUTE_NORMAL;
}

bool Readonly(::DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// True when the open folder holds nothing but "." and "..", read through its
// own handle (a search by path would be refused while it is open for deletion).
bool IsEmptyFolder(::HANDLE folder) {
    alignas(8) unsigned char buffer[4096];
    if (!::GetFileInformationByHandleEx(folder, FileIdBothDirectoryRestartInfo, buffer, sizeof buffer))
        return ::GetLastError() == ERROR_NO_MORE_FILES;
    for (::DWORD offset = 0;;) {
        const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + offset);
        const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
        if (name != L"." && name != L"..") return false;
        if (entry->NextEntryOffset == 0) break;
        offset += entry->NextEntryOffset;
    }
    // Only the dot entries so far: anything after them?
    if (::GetFileInformationByHandleEx(folder, FileIdBothDirectoryInfo, buffer, sizeof buffer)) return false;
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}

bool MarkDeleted(::HANDLE file) {
    FILE_DISPOSITION_INFO disposition{TRUE};  // its one member, DeleteFile (a macro's name in <windows.h>)
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

}  // namespace

HANDLE FindFirst(const char* pattern, FindData* data) {
    std::wstring wide;
    if (!data || !win32::ToWide(pattern, &wide)) return INVALID_HANDLE_VALUE;
    return Start(wide, nullptr, nullptr, data);
}

BOOL FindNext(HANDLE handle, FindData* data) {
    if (!handle || handle == INVALID_HANDLE_VALUE || !data) return 0;
    Search& search = *static_cast<Search*>(handle);
    WIN32_FIND_DATAW found{};
    return ::FindNextFileW(search.Find, &found) && Deliver(search, found, data) ? 1 : 0;
}

BOOL FindClose(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE) return 0;
    std::unique_ptr<Search> search(static_cast<Search*>(handle));
    return ::FindClose(search->Find) ? 1 : 0;
}

DWORD GetAttributes(const char* path) {
    std::wstring wide;
    if (!win32::ToWide(path, &wide)) return INVALID_FILE_ATTRIBUTES;
    return ::GetFileAttributesW(wide.c_str());
}

BOOL SetAttributes(const char* path, DWORD attributes) {
    std::wstring wide;
    if (!win32::ToWide(path, &wide)) return 0;
    const ::DWORD current = ::GetFileAttributesW(wide.c_str());
    if (current == INVALID_FILE_ATTRIBUTES) return 0;
    if (current & FILE_ATTRIBUTE_REPARSE_POINT) return 1;  // a link is left as it is
    return ::SetFileAttributesW(wide.c_str(), Changed(current, attributes)) ? 1 : 0;
}

BOOL RemoveFile(const char* path) {
    std::wstring wide;
    if (!win32::ToWide(path, &wide)) return 0;
    const ::DWORD current = ::GetFileAttributesW(wide.c_str());
    if (current == INVALID_FILE_ATTRIBUTES || Readonly(current)) return 0;
    // A link to a folder is a folder to DeleteFileW; it is removed as the link it is.
    if ((current & FILE_ATTRIBUTE_DIRECTORY) && (current & FILE_ATTRIBUTE_REPARSE_POINT))
        return ::RemoveDirectoryW(wide.c_str()) ? 1 : 0;
    return ::DeleteFileW(wide.c_str()) ? 1 : 0;
}

BOOL RemoveFolder(const char* path) {
    std::wstring wide;
    if (!win32::ToWide(path, &wide)) return 0;
    const ::DWORD current = ::GetFileAttributesW(wide.c_str());
    if (current == INVALID_FILE_ATTRIBUTES || Readonly(current) || !(current & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    return ::RemoveDirectoryW(wide.c_str()) ? 1 : 0;
}

HANDLE OpenDirectory(const char* path) {
    std::wstring wide;
    if (!win32::ToWide(path, &wide)) return INVALID_HANDLE_VALUE;
    ::HANDLE dir = ::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES, kShareAll,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!Information(dir, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (dir != INVALID_HANDLE_VALUE) ::CloseHandle(dir);
        return INVALID_HANDLE_VALUE;
    }
    auto folder = std::make_unique<Folder>();
    folder->Dir = dir;
    return folder.release();
}

HANDLE OpenDirectoryAt(HANDLE handle, const char* name) {
    Folder* parent = AsFolder(handle);
    std::wstring wide;
    if (!parent || !IsEntryName(name, &wide)) return INVALID_HANDLE_VALUE;
    ::HANDLE dir = OpenAt(parent->Dir, wide, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                          FILE_DIRECTORY_FILE);
    BY_HANDLE_FILE_INFORMATION info{};
    bool good = Information(dir, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (good) {
        auto listed = parent->Listed->find(FoldCase(name));
        good = listed == parent->Listed->end() || listed->second == IdOf(info);
    }
    if (!good) {
        if (dir != INVALID_HANDLE_VALUE) ::CloseHandle(dir);
        return INVALID_HANDLE_VALUE;
    }
    auto folder = std::make_unique<Folder>();
    folder->Dir = dir;
    return folder.release();
}

BOOL CloseDirectory(HANDLE handle) {
    std::unique_ptr<Folder> folder(AsFolder(handle));
    return folder && ::CloseHandle(folder->Dir) ? 1 : 0;
}

HANDLE FindFirstAt(HANDLE handle, const char* pattern, FindData* data) {
    Folder* folder = AsFolder(handle);
    std::wstring wide;
    if (!folder || !data || !IsEntryName(pattern, &wide)) return INVALID_HANDLE_VALUE;
    const std::wstring path = PathOf(folder->Dir);
    if (path.empty()) return INVALID_HANDLE_VALUE;
    return Start(path + L"\\" + wide, folder->Dir, folder->Listed, data);
}

DWORD GetAttributesAt(HANDLE handle, const char* name) {
    Folder* folder = AsFolder(handle);
    std::wstring wide;
    if (!folder || !IsEntryName(name, &wide)) return INVALID_FILE_ATTRIBUTES;
    ::HANDLE entry = OpenAt(folder->Dir, wide, FILE_READ_ATTRIBUTES, 0);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool got = Information(entry, &info);
    if (entry != INVALID_HANDLE_VALUE) ::CloseHandle(entry);
    return got ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

BOOL SetAttributesAt(HANDLE handle, const char* name, DWORD attributes) {
    Folder* folder = AsFolder(handle);
    std::wstring wide;
    if (!folder || !IsEntryName(name, &wide)) return 0;
    ::HANDLE entry = OpenAt(folder->Dir, wide, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0);
    BY_HANDLE_FILE_INFORMATION info{};
    BOOL done = 0;
    if (Information(entry, &info)) {
        if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            done = 1;  // a link is left as it is
        } else {
            FILE_BASIC_INFO basic{};  // times of zero stay as they are
            basic.FileAttributes = Changed(info.dwFileAttributes, attributes);
            done = ::SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic) ? 1 : 0;
        }
    }
    if (entry != INVALID_HANDLE_VALUE) ::CloseHandle(entry);
    return done;
}

BOOL RemoveFileAt(HANDLE handle, const char* name) {
    Folder* folder = AsFolder(handle);
    std::wstring wide;
    if (!folder || !IsEntryName(name, &wide)) return 0;
    ::HANDLE entry = OpenAt(folder->Dir, wide, DELETE | FILE_READ_ATTRIBUTES, 0);
    BY_HANDLE_FILE_INFORMATION info{};
    BOOL done = 0;
    if (Information(entry, &info)) {
        const ::DWORD a = info.dwFileAttributes;
        const bool folderItself = (a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT);
        done = !folderItself && !Readonly(a) && MarkDeleted(entry) ? 1 : 0;
    }
    if (entry != INVALID_HANDLE_VALUE) ::CloseHandle(entry);  // the entry goes with its last handle
    return done;
}

BOOL RemoveFolderAt(HANDLE handle, const char* name) {
    Folder* folder = AsFolder(handle);
    std::wstring wide;
    if (!folder || !IsEntryName(name, &wide)) return 0;
    ::HANDLE entry = OpenAt(folder->Dir, wide, DELETE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY, FILE_DIRECTORY_FILE);
    BY_HANDLE_FILE_INFORMATION info{};
    BOOL done = 0;
    if (Information(entry, &info)) {
        const ::DWORD a = info.dwFileAttributes;
        // A link to a folder is removed itself, whatever its target holds.
        const bool removable = (a & FILE_ATTRIBUTE_REPARSE_POINT) || (!Readonly(a) && IsEmptyFolder(entry));
        done = removable && MarkDeleted(entry) ? 1 : 0;
    }
    if (entry != INVALID_HANDLE_VALUE) ::CloseHandle(entry);
    return done;
}

}  // namespace host
