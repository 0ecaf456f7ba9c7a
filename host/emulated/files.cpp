// Files and folders of drive C: named by their Windows paths. Read-only is the
// owner's write permission; a symbolic link is an entry of its own, never what
// it points to.
#include "host/files.h"

#include "host/emulated/drive_entry.h"
#include "host/emulated/file_ops.h"

namespace host {
namespace {

using emulated::DriveEntry;

}  // namespace

HANDLE FindFirst(const char* pattern, FindData* data) {
    std::vector<std::string> names;
    if (!pattern || !data || !emulated::SplitDrivePath(pattern, &names) || names.empty()) return kInvalidHandle;
    const std::string last = names.back();
    names.pop_back();
    std::shared_ptr<emulated::DirFd> dir = emulated::OpenFolder(names);
    if (!dir) return kInvalidHandle;
    auto search = emulated::StartSearch(dir, last, !names.empty(), nullptr, data);
    if (!search) return kInvalidHandle;
    search->Key = emulated::FolderKey(names, names.size());
    emulated::RememberOpenFolder(search->Key, search->Dir);
    return search.release();
}

BOOL FindNext(HANDLE handle, FindData* data) {
    if (!handle || handle == kInvalidHandle || !data) return 0;
    return emulated::NextFound(*static_cast<emulated::Search*>(handle), data) ? 1 : 0;
}

BOOL FindClose(HANDLE handle) {
    if (!handle || handle == kInvalidHandle) return 0;
    std::unique_ptr<emulated::Search> search(static_cast<emulated::Search*>(handle));
    if (!search->Key.empty()) emulated::ForgetOpenFolder(search->Key, search->Dir);
    return 1;
}

DWORD GetAttributes(const char* path) {
    std::vector<std::string> names;
    if (path && emulated::SplitDrivePath(path, &names) && names.empty())
        return emulated::OpenFolder(names) ? kAttributeDirectory : kInvalidAttributes;
    DriveEntry entry;
    if (!path || !emulated::ResolveEntry(path, &entry) || !entry.Exists) return kInvalidAttributes;
    return emulated::EntryAttributes(entry.Dir->Get(), entry.Name, entry.Status);
}

BOOL SetAttributes(const char* path, DWORD attributes) {
    DriveEntry entry;
    if (!path || !emulated::ResolveEntry(path, &entry) || !entry.Exists) return 0;
    return emulated::SetEntryAttributes(entry.Dir->Get(), entry.Name, attributes);
}

BOOL RemoveFile(const char* path) {
    DriveEntry entry;
    if (!path || !emulated::ResolveEntry(path, &entry) || !entry.Exists) return 0;
    return emulated::DeleteEntry(entry.Dir->Get(), entry.Name);
}

BOOL RemoveFolder(const char* path) {
    DriveEntry entry;
    if (!path || !emulated::ResolveEntry(path, &entry) || !entry.Exists) return 0;
    return emulated::RemoveFolderEntry(entry.Dir->Get(), entry.Name);
}

}  // namespace host
