#include "users/DirectoryTree.h"

#include "host/files.h"
#include "host/types.h"

namespace users {
namespace {

bool DeleteTree(const std::string& directory) {
    host::WIN32_FIND_DATA found{};
    host::HANDLE search = host::FindFirstFile((directory + "\\*.*").c_str(), &found);
    if (search != host::INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            // ".." is the parent: its marks are not this removal's to change.
            if (name == "..") continue;
            const std::string path = directory + "\\" + name;
            const host::DWORD attributes = found.dwFileAttributes;
            if (attributes & host::FILE_ATTRIBUTE_READONLY) host::SetFileAttributes(path.c_str(), host::FILE_ATTRIBUTE_NORMAL);
            if (name == ".") continue;
            bool removed;
            if (attributes & host::FILE_ATTRIBUTE_REPARSE_POINT)
                removed = (attributes & host::FILE_ATTRIBUTE_DIRECTORY) ? host::RemoveDirectory(path.c_str())
                                                                       : host::DeleteFile(path.c_str());
            else if (attributes & host::FILE_ATTRIBUTE_DIRECTORY)
                removed = DeleteTree(path);
            else
                removed = host::DeleteFile(path.c_str());
            if (!removed) {
                host::FindClose(search);
                return false;
            }
        } while (host::FindNextFile(search, &found));
        host::FindClose(search);
    }
    return host::RemoveDirectory(directory.c_str()) != 0;
}

}  // namespace

bool DeleteDirectoryTree(const std::string& directory) {
    // A folder that is itself a link goes as a link; what it leads to stays.
    const host::DWORD attributes = host::GetFileAttributes(directory.c_str());
    if (attributes != host::INVALID_FILE_ATTRIBUTES && (attributes & host::FILE_ATTRIBUTE_REPARSE_POINT))
        return host::RemoveDirectory(directory.c_str()) != 0;
    return DeleteTree(directory);
}

}  // namespace users
