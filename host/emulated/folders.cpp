// Folder handles of drive C: and the file calls relative to them. A folder is
// held by its descriptor; every name is looked up in that folder alone, and a
// sub-folder is opened without following a link and only when it is still
// the folder its parent's search listed.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>

#include "host/emulated/drive.h"
#include "host/emulated/file_ops.h"
#include "host/emulated/root.h"
#include "host/files.h"

namespace fs = std::filesystem;

namespace host {
namespace {

using emulated::DirFd;

struct Folder {
    std::shared_ptr<DirFd> Dir;
    bool DriveRoot = false;
    std::shared_ptr<emulated::ListedFolders> Listed = std::make_shared<emulated::ListedFolders>();
};

Folder* AsFolder(HANDLE handle) {
    return handle && handle != kInvalidHandle ? static_cast<Folder*>(handle) : nullptr;
}

// A name of this folder only: never a path, never the parent.
bool IsEntryName(const char* name) {
    if (!name || !*name || std::string_view(name) == "..") return false;
    for (const char* c = name; *c; ++c)
        if (*c == '/' || *c == '\\' || *c == ':') return false;
    return true;
}

// The entry's real name (found without regard to case) and its own status.
bool Lookup(Folder* folder, const char* name, std::string* real, struct stat* status) {
    return folder && IsEntryName(name) && emulated::FindRealName(folder->Dir->Get(), name, real, status);
}

// Where an open descriptor really is, checked after the open, so a link
// swapped in while the path was being checked cannot have led off the drive.
bool OnTheDrive(int fd) {
    std::error_code ec;
    const fs::path real = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec);
    const fs::path drive = fs::weakly_canonical(emulated::DriveCPath(), ec);
    if (ec) return false;
    const std::string r = real.string(), d = drive.string();
    return r == d || (r.size() > d.size() && r.compare(0, d.size(), d) == 0 && r[d.size()] == '/');
}

}  // namespace

HANDLE OpenDirectory(const char* path) {
    std::vector<std::string> names;
    fs::path mapped;
    if (!path || !emulated::SplitDrivePath(path, &names) || !emulated::MapWindowsPath(path, &mapped))
        return kInvalidHandle;
    int fd = open(mapped.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return kInvalidHandle;
    if (!OnTheDrive(fd)) {
        close(fd);
        return kInvalidHandle;
    }
    auto folder = std::make_unique<Folder>();
    folder->Dir = std::make_shared<DirFd>(fd);
    folder->DriveRoot = names.empty();
    return folder.release();
}

HANDLE OpenDirectoryAt(HANDLE handle, const char* name) {
    Folder* parent = AsFolder(handle);
    std::string real;
    struct stat status {};
    if (!Lookup(parent, name, &real, &status) || !S_ISDIR(status.st_mode)) return kInvalidHandle;
    int fd = emulated::OpenInFolder(parent->Dir->Get(), real.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return kInvalidHandle;
    struct stat opened {};
    auto listed = parent->Listed->find(real);
    if (fstat(fd, &opened) != 0 || (listed != parent->Listed->end() && (listed->second.Dev != opened.st_dev ||
                                                                        listed->second.Ino != opened.st_ino))) {
        close(fd);
        return kInvalidHandle;
    }
    auto folder = std::make_unique<Folder>();
    folder->Dir = std::make_shared<DirFd>(fd);
    return folder.release();
}

BOOL CloseDirectory(HANDLE handle) {
    std::unique_ptr<Folder> folder(AsFolder(handle));
    return folder ? 1 : 0;
}

HANDLE FindFirstAt(HANDLE handle, const char* pattern, FindData* data) {
    Folder* folder = AsFolder(handle);
    if (!folder || !pattern || !data) return kInvalidHandle;
    auto search = emulated::StartSearch(folder->Dir, pattern, !folder->DriveRoot, folder->Listed, data);
    return search ? search.release() : kInvalidHandle;
}

DWORD GetAttributesAt(HANDLE handle, const char* name) {
    Folder* folder = AsFolder(handle);
    std::string real;
    struct stat status {};
    if (!Lookup(folder, name, &real, &status)) return kInvalidAttributes;
    return emulated::EntryAttributes(folder->Dir->Get(), real, status);
}

BOOL SetAttributesAt(HANDLE handle, const char* name, DWORD attributes) {
    Folder* folder = AsFolder(handle);
    std::string real;
    struct stat status {};
    return Lookup(folder, name, &real, &status) ? emulated::SetEntryAttributes(folder->Dir->Get(), real, attributes) : 0;
}

BOOL RemoveFileAt(HANDLE handle, const char* name) {
    Folder* folder = AsFolder(handle);
    std::string real;
    struct stat status {};
    return Lookup(folder, name, &real, &status) ? emulated::DeleteEntry(folder->Dir->Get(), real) : 0;
}

BOOL RemoveFolderAt(HANDLE handle, const char* name) {
    Folder* folder = AsFolder(handle);
    std::string real;
    struct stat status {};
    return Lookup(folder, name, &real, &status) ? emulated::RemoveFolderEntry(folder->Dir->Get(), real) : 0;
}

}  // namespace host
