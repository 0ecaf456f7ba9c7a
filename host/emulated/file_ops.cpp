#include "host/emulated/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

#include <cstring>

#include "host/text.h"

namespace host::emulated {
namespace {

// A walk holds one descriptor per level of the tree it is in; a deep tree
// may need more than the soft limit a process starts with.
bool RaiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return false;
    limit.rlim_cur = limit.rlim_max;
    return setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

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

std::vector<std::string> MatchingNames(int dir, const std::string& pattern, bool listDots) {
    std::vector<std::string> names;
    const std::string folded = pattern == "*.*" ? "*" : FoldCase(pattern);
    if (listDots)
        for (const char* dot : {".", ".."})
            if (WildcardMatch(folded.c_str(), dot)) names.emplace_back(dot);
    int listFd = OpenInFolder(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* list = listFd < 0 ? nullptr : fdopendir(listFd);
    if (!list) {
        if (listFd >= 0) close(listFd);
        return names;
    }
    while (dirent* e = readdir(list)) {
        std::string name = e->d_name;
        if (name == "." || name == ".." || name.size() >= kMaxPath || name.find('\\') != std::string::npos) continue;
        if (WildcardMatch(folded.c_str(), FoldCase(name).c_str())) names.push_back(std::move(name));
    }
    closedir(list);
    return names;
}

bool WriteProtected(const struct stat& status) { return (status.st_mode & S_IWUSR) == 0; }

}  // namespace

int OpenInFolder(int dir, const char* name, int flags) {
    int fd = openat(dir, name, flags);
    if (fd < 0 && errno == EMFILE && RaiseOpenFileLimit()) fd = openat(dir, name, flags);
    return fd;
}

std::unique_ptr<Search> StartSearch(std::shared_ptr<DirFd> dir, const std::string& pattern, bool listDots,
                                     std::shared_ptr<ListedFolders> listed, FindData* data) {
    auto search = std::make_unique<Search>();
    search->Names = MatchingNames(dir->Get(), pattern, listDots);
    search->Dir = std::move(dir);
    search->Listed = std::move(listed);
    if (!NextFound(*search, data)) return nullptr;
    return search;
}

bool NextFound(Search& search, FindData* data) {
    while (search.Next < search.Names.size()) {
        const std::string& name = search.Names[search.Next++];
        struct stat status {};
        if (fstatat(search.Dir->Get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone since
        if (search.Listed) {
            if (S_ISDIR(status.st_mode))
                (*search.Listed)[name] = FileId{status.st_dev, status.st_ino};
            else
                search.Listed->erase(name);
        }
        std::memset(data, 0, sizeof *data);
        data->dwFileAttributes = EntryAttributes(search.Dir->Get(), name, status);
        std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
        return true;
    }
    return false;
}

DWORD EntryAttributes(int dir, const std::string& name, const struct stat& status) {
    DWORD attributes = 0;
    if (S_ISLNK(status.st_mode)) {
        attributes |= kAttributeReparsePoint;
        struct stat target {};
        if (fstatat(dir, name.c_str(), &target, 0) == 0 && S_ISDIR(target.st_mode))
            attributes |= kAttributeDirectory;
        return attributes;
    }
    if (S_ISDIR(status.st_mode)) attributes |= kAttributeDirectory;
    if ((status.st_mode & S_IWUSR) == 0) attributes |= kAttributeReadOnly;
    return attributes ? attributes : kAttributeNormal;
}

BOOL SetEntryAttributes(int dir, const std::string& name, DWORD attributes) {
    // The entry is pinned first (a link is opened as the link itself); the
    // mode is then changed on exactly that file through its descriptor's
    // /proc name, so a link put in its place since cannot redirect it.
    int fd = OpenInFolder(dir, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat status {};
    BOOL done = 0;
    if (fstat(fd, &status) == 0) {
        if (S_ISLNK(status.st_mode)) {
            done = 1;  // a link is left as it is
        } else {
            mode_t mode = status.st_mode & 07777;
            mode = (attributes & kAttributeReadOnly) ? mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
            const std::string pinned = "/proc/self/fd/" + std::to_string(fd);
            done = chmod(pinned.c_str(), mode) == 0 ? 1 : 0;
        }
    }
    close(fd);
    return done;
}

BOOL DeleteEntry(int dir, const std::string& name) {
    struct stat status {};
    if (fstatat(dir, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return 0;
    const bool link = S_ISLNK(status.st_mode);
    if (!link && (S_ISDIR(status.st_mode) || WriteProtected(status))) return 0;
    // unlinkat removes the name itself: a link is never followed, a folder never removed.
    return unlinkat(dir, name.c_str(), 0) == 0 ? 1 : 0;
}

BOOL RemoveFolderEntry(int dir, const std::string& name) {
    struct stat status {};
    if (fstatat(dir, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return 0;
    if (S_ISLNK(status.st_mode)) {
        if (!(EntryAttributes(dir, name, status) & kAttributeDirectory)) return 0;
        return unlinkat(dir, name.c_str(), 0) == 0 ? 1 : 0;
    }
    if (!S_ISDIR(status.st_mode) || WriteProtected(status)) return 0;
    return unlinkat(dir, name.c_str(), AT_REMOVEDIR) == 0 ? 1 : 0;
}

}  // namespace host::emulated
