// An entry of drive C: reached through an open folder: the folder's file
// descriptor and the entry's real name in it. Working from the folder's
// descriptor resolves a long path once instead of once per file, and the last
// name is never followed when it is a symbolic link.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

namespace host::emulated {

// A file descriptor closed with the last owner.
class DirFd {
public:
    explicit DirFd(int fd) : m_fd(fd) {}
    ~DirFd();
    DirFd(const DirFd&) = delete;
    DirFd& operator=(const DirFd&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

struct DriveEntry {
    std::shared_ptr<DirFd> Dir;  // the folder that holds the entry
    std::string Name;            // its real name there (as given when missing)
    bool Exists = false;
    struct stat Status {};       // of the entry itself (a link is not followed)
};

// The real name in dir that equals name without regard to case: the exact
// spelling first, else the first match in name order (as MapWindowsPath picks).
// status is the entry's own (a link is not followed).
bool FindRealName(int dir, const std::string& name, std::string* real, struct stat* status);

// The names of a Windows path on drive C:, "." and ".." applied; false for
// other drives, relative paths, ".." above the root and names with a colon.
bool SplitDrivePath(const std::string& windowsPath, std::vector<std::string>* names);

// The entry a Windows path names. False when its folder cannot be reached
// (missing, off the drive) or the path names the drive's root.
bool ResolveEntry(const std::string& windowsPath, DriveEntry* entry);

// Opens the folder a path names (following a link that stays on the drive).
std::shared_ptr<DirFd> OpenFolder(const std::vector<std::string>& names);

// While a search holds a folder open, paths into that folder (spelt as the
// search spelt it) resolve through the search's descriptor.
void RememberOpenFolder(const std::string& key, const std::shared_ptr<DirFd>& dir);
void ForgetOpenFolder(const std::string& key, const std::shared_ptr<DirFd>& dir);
std::string FolderKey(const std::vector<std::string>& names, std::size_t count);

}  // namespace host::emulated
