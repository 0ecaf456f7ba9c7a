#include "host/emulated/drive_entry.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <mutex>

#include "host/emulated/drive.h"
#include "host/emulated/root.h"
#include "host/text.h"

namespace fs = std::filesystem;

namespace host::emulated {
namespace {

std::mutex g_openFoldersLock;
std::map<std::string, std::weak_ptr<DirFd>>& OpenFolders() {
    static std::map<std::string, std::weak_ptr<DirFd>> folders;
    return folders;
}

std::shared_ptr<DirFd> CachedFolder(const std::string& key) {
    std::lock_guard<std::mutex> lock(g_openFoldersLock);
    auto it = OpenFolders().find(key);
    return it == OpenFolders().end() ? nullptr : it->second.lock();
}

}  // namespace

bool FindRealName(int dir, const std::string& name, std::string* real, struct stat* status) {
    if (fstatat(dir, name.c_str(), status, AT_SYMLINK_NOFOLLOW) == 0) {
        *real = name;
        return true;
    }
    int listFd = openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return false;
    DIR* list = fdopendir(listFd);
    if (!list) {
        close(listFd);
        return false;
    }
    const std::string folded = FoldCase(name);
    std::string best;
    while (dirent* e = readdir(list)) {
        std::string candidate = e->d_name;
        if (candidate != "." && candidate != ".." && FoldCase(candidate) == folded &&
            (best.empty() || candidate < best))
            best = std::move(candidate);
    }
    closedir(list);
    if (best.empty() || fstatat(dir, best.c_str(), status, AT_SYMLINK_NOFOLLOW) != 0) return false;
    *real = std::move(best);
    return true;
}

DirFd::~DirFd() {
    if (m_fd >= 0) close(m_fd);
}

bool SplitDrivePath(const std::string& windowsPath, std::vector<std::string>* names) {
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    const std::string& p = windowsPath;
    if (p.size() < 3 || (p[0] != 'C' && p[0] != 'c') || p[1] != ':' || !separator(p[2])) return false;
    names->clear();
    std::size_t start = 3;
    while (start <= p.size()) {
        std::size_t end = start;
        while (end < p.size() && !separator(p[end])) ++end;
        std::string name = p.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (names->empty()) return false;
            names->pop_back();
            continue;
        }
        if (name.find(':') != std::string::npos) return false;
        names->push_back(std::move(name));
    }
    return true;
}

std::string FolderKey(const std::vector<std::string>& names, std::size_t count) {
    std::string key;
    for (std::size_t i = 0; i < count; ++i) key += '\\' + names[i];
    return key;
}

std::shared_ptr<DirFd> OpenFolder(const std::vector<std::string>& names) {
    if (auto cached = CachedFolder(FolderKey(names, names.size()))) return cached;
    std::string windowsPath = "C:\\";
    for (const std::string& name : names) windowsPath += name + "\\";
    fs::path mapped;
    if (!MapWindowsPath(windowsPath, &mapped)) return nullptr;
    int fd = open(mapped.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd < 0 ? nullptr : std::make_shared<DirFd>(fd);
}

bool ResolveEntry(const std::string& windowsPath, DriveEntry* entry) {
    std::vector<std::string> names;
    if (!SplitDrivePath(windowsPath, &names) || names.empty()) return false;
    const std::string last = names.back();
    names.pop_back();
    entry->Dir = OpenFolder(names);
    if (!entry->Dir) return false;
    entry->Exists = FindRealName(entry->Dir->Get(), last, &entry->Name, &entry->Status);
    if (!entry->Exists) entry->Name = last;
    return true;
}

void RememberOpenFolder(const std::string& key, const std::shared_ptr<DirFd>& dir) {
    std::lock_guard<std::mutex> lock(g_openFoldersLock);
    OpenFolders()[key] = dir;
}

void ForgetOpenFolder(const std::string& key, const std::shared_ptr<DirFd>& dir) {
    std::lock_guard<std::mutex> lock(g_openFoldersLock);
    auto it = OpenFolders().find(key);
    if (it == OpenFolders().end()) return;
    auto held = it->second.lock();
    if (!held || held == dir) OpenFolders().erase(it);
}

}  // namespace host::emulated
