#include "host/emulated/stationd/RootFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace stationd {

std::string DescribeOpenFailure(const std::string& doing, const std::filesystem::path& path, int error) {
    if (error == ELOOP)
        return path.native() + " is a symbolic link; the station drivers open nothing under the host root through a link";
    if (error == ENOTDIR) return path.native() + " is not a folder";
    return "cannot " + doing + " " + path.native() + ": " + std::strerror(error);
}

RootFiles::~RootFiles() {
    if (m_devFd >= 0) close(m_devFd);
    if (m_rootFd >= 0) close(m_rootFd);
}

bool RootFiles::Open(const std::filesystem::path& root, std::string* error) {
    m_root = root;
    // The root itself is the user's choice and may be reached through links.
    m_rootFd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_rootFd < 0) {
        *error = DescribeOpenFailure("open the host root", root, errno);
        return false;
    }
    // mkdirat never follows a link: an existing link counts as existing.
    if (mkdirat(m_rootFd, "dev", 0700) != 0 && errno != EEXIST) {
        *error = DescribeOpenFailure("create the device folder", DeviceDirPath(), errno);
        return false;
    }
    m_devFd = openat(m_rootFd, "dev", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (m_devFd < 0) {
        int why = errno;
        // With O_DIRECTORY a link to a folder fails as "not a directory".
        struct stat info {};
        if (why == ENOTDIR && fstatat(m_rootFd, "dev", &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode))
            why = ELOOP;
        *error = DescribeOpenFailure("open the device folder", DeviceDirPath(), why);
        return false;
    }
    if (fchmod(m_devFd, 0700) != 0) {
        *error = DescribeOpenFailure("set the mode of the device folder", DeviceDirPath(), errno);
        return false;
    }
    return true;
}

int RootFiles::OpenInRoot(const char* name, int flags, std::string* error) const {
    return OpenFile(m_rootFd, m_root / name, name, flags, error);
}

int RootFiles::OpenInDeviceDir(const char* name, int flags, std::string* error) const {
    return OpenFile(m_devFd, DeviceDirPath() / name, name, flags, error);
}

int RootFiles::OpenFile(int dirFd, const std::filesystem::path& shown, const char* name, int flags,
                        std::string* error) const {
    // O_NONBLOCK: a FIFO put in the file's place must not hang the open.
    int fd = openat(dirFd, name, flags | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    struct stat info {};
    if (fd < 0) {
        int why = errno;
        bool other = why != ELOOP && fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(info.st_mode) &&
                     !S_ISDIR(info.st_mode);
        *error = other ? shown.native() + " is not a regular file" : DescribeOpenFailure("open", shown, why);
        return -1;
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        *error = shown.native() + " is not a regular file";
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace stationd
