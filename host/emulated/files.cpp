// Files and folders of drive C:. Read-only is the owner's write permission;
// a symbolic link is an entry of its own, never what it points to.
#include "host/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/emulated/drive_entry.h"
#include "host/text.h"

namespace host {
namespace {

using emulated::DirFd;
using emulated::DriveEntry;

// One search: the folder held open and the names that matched, read at the
// start so that removing entries while walking cannot upset the listing.
struct Search {
    std::shared_ptr<DirFd> Dir;
    std::string Key;
    std::vector<std::string> Names;
    std::size_t Next = 0;
};

bool WildcardMatch(const char* pattern, const char* name) {
    // Iterative '*' and '?' matching; pattern and name are already folded.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '?' || (*pattern == *name && *pattern != '*')) {
            ++pattern;
            ++name;
        } else if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

DWORD Attributes(int dir, const std::string& name, const struct stat& status) {
    DWORD attributes = 0;
    if (S_ISLNK(status.st_mode)) {
        attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
        struct stat target {};
        if (fstatat(dir, name.c_str(), &target, 0) == 0 && S_ISDIR(target.st_mode))
            attributes |= FILE_ATTRIBUTE_DIRECTORY;
        return attributes;
    }
    if (S_ISDIR(status.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if ((status.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool Fill(Search& search, WIN32_FIND_DATA* data) {
    while (search.Next < search.Names.size()) {
        const std::string& name = search.Names[search.Next++];
        struct stat status {};
        if (fstatat(search.Dir->Get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone since
        std::memset(data, 0, sizeof *data);
        data->dwFileAttributes = Attributes(search.Dir->Get(), name, status);
        std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
        return true;
    }
    return false;
}

std::vector<std::string> MatchingNames(int dir, const std::string& pattern, bool listDots) {
    std::vector<std::string> names;
    const std::string folded = pattern == "*.*" ? "*" : FoldCase(pattern);
    if (listDots)
        for (const char* dot : {".", ".."})
            if (WildcardMatch(folded.c_str(), dot)) names.emplace_back(dot);
    int listFd = openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* list = listFd < 0 ? nullptr : fdopendir(listFd);
    if (!list) {
        if (listFd >= 0) close(listFd);
        return names;
    }
    while (dirent* e = readdir(list)) {
        std::string name = e->d_name;
        if (name == "." || name == ".." || name.size() >= MAX_PATH || name.find('\\') != std::string::npos) continue;
        if (WildcardMatch(folded.c_str(), FoldCase(name).c_str())) names.push_back(std::move(name));
    }
    closedir(list);
    return names;
}

bool WriteProtected(const struct stat& status) { return (status.st_mode & S_IWUSR) == 0; }

}  // namespace

HANDLE FindFirstFile(const char* pattern, WIN32_FIND_DATA* data) {
    std::vector<std::string> names;
    if (!pattern || !data || !emulated::SplitDrivePath(pattern, &names) || names.empty()) return INVALID_HANDLE_VALUE;
    const std::string last = names.back();
    names.pop_back();
    auto search = std::make_unique<Search>();
    search->Dir = emulated::OpenFolder(names);
    if (!search->Dir) return INVALID_HANDLE_VALUE;
    search->Names = MatchingNames(search->Dir->Get(), last, !names.empty());
    if (!Fill(*search, data)) return INVALID_HANDLE_VALUE;
    search->Key = emulated::FolderKey(names, names.size());
    emulated::RememberOpenFolder(search->Key, search->Dir);
    return search.release();
}

BOOL FindNextFile(HANDLE handle, WIN32_FIND_DATA* data) {
    if (!handle || handle == INVALID_HANDLE_VALUE || !data) return 0;
    return Fill(*static_cast<Search*>(handle), data) ? 1 : 0;
}

BOOL FindClose(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE) return 0;
    std::unique_ptr<Search> search(static_cast<Search*>(handle));
    emulated::ForgetOpenFolder(search->Key, search->Dir);
    return 1;
}

DWORD GetFileAttributes(const char* path) {
    std::vector<std::string> names;
    if (path && emulated::SplitDrivePath(path, &names) && names.empty())
        return emulated::OpenFolder(names) ? FILE_ATTRIBUTE_DIRECTORY : INVALID_FILE_ATTRIBUTES;
    DriveEntry entry;
    if (!path || !emulated::ResolveEntry(path, &entry) || !entry.Exists) return INVALID_FILE_ATTRIBUTES;
    return Attributes(entry.Dir->Get(), entry.Name, entry.Status);
}

BOOL SetFileAttributes(const char* path, DWORD attributes) {
    DriveEntry entry;
    if (!path || !emulated::ResolveEntry(path, &entry) || !entry.Exists) return 0;
    if (S_ISLNK(entry.Status.st_mode)) return 1;
    mode_t mode = entry.Status.st_mode & 07777;
    mode = (attributes & FILE_ATTRIBUTE_READONLY) ? mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
    return fchmodat(entry.Dir->Get(), entry.Name.c_str(), mode, 0) == 0 ? 1 : 0;
}

BOOL DeleteFile(const char* path) {
    DriveEntry entry;
    if (!path || !emulated::ResolveEntry(path, &entry) || !entry.Exists) return 0;
    const bool link = S_ISLNK(entry.Status.st_mode);
    if (!link && (S_ISDIR(entry.Status.st_mode) || WriteProtected(entry.Status))) return 0;
    return unlinkat(entry.Dir->Get(), entry.Name.c_str(), 0) == 0 ? 1 : 0;
}

BOOL RemoveDirectory(const char* path) {
    DriveEntry entry;
    if (!path || !emulated::ResolveEntry(path, &entry) || !entry.Exists) return 0;
    if (S_ISLNK(entry.Status.st_mode)) {
        if (!(Attributes(entry.Dir->Get(), entry.Name, entry.Status) & FILE_ATTRIBUTE_DIRECTORY)) return 0;
        return unlinkat(entry.Dir->Get(), entry.Name.c_str(), 0) == 0 ? 1 : 0;
    }
    if (!S_ISDIR(entry.Status.st_mode) || WriteProtected(entry.Status)) return 0;
    return unlinkat(entry.Dir->Get(), entry.Name.c_str(), AT_REMOVEDIR) == 0 ? 1 : 0;
}

}  // namespace host
