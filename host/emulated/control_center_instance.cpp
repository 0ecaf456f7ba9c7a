#include "host/emulated/control_center_instance.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "host/emulated/root.h"

namespace host::emulated {
namespace {

std::string Shown(const std::filesystem::path& root) { return (root / kControlCenterLockName).native(); }

flock WholeFile(short type) {
    flock lock{};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

}  // namespace

int OpenControlCenterLock(const std::filesystem::path& root, bool create, std::string* problem) {
    const std::string shown = Shown(root);
    // O_NONBLOCK: a FIFO in the file's place must not hang the open.
    const int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (create ? O_CREAT : 0);
    const int fd = open(shown.c_str(), flags, 0600);
    if (fd < 0) {
        const int why = errno;
        if (why == ELOOP) *problem = shown + " is a symbolic link, not the lock file";
        else if (why == EISDIR) *problem = shown + " is a folder, not the lock file";
        else *problem = shown + ": " + std::strerror(why);
        return -1;
    }
    struct stat info{};
    const char* wrong = fstat(fd, &info) != 0     ? "cannot be examined"
                        : !S_ISREG(info.st_mode)  ? "is not a regular file"
                        : info.st_nlink != 1      ? "has more than one link"
                        : info.st_uid != geteuid() ? "belongs to another user"
                                                   : nullptr;
    if (wrong) {
        close(fd);
        *problem = shown + " " + wrong + ", so it is not the lock file";
        return -1;
    }
    return fd;
}

LockTaken TakeControlCenterLock(int fd, const std::filesystem::path& root, std::string* problem) {
    flock lock = WholeFile(F_WRLCK);
    if (fcntl(fd, F_SETLK, &lock) == 0) return LockTaken::kHeld;
    const int why = errno;
    if (why == EAGAIN || why == EACCES) return LockTaken::kByAnother;
    *problem = Shown(root) + ": " + std::strerror(why);
    return LockTaken::kFailed;
}

int ControlCenterLockHolder(int fd) {
    flock query = WholeFile(F_WRLCK);
    if (fcntl(fd, F_GETLK, &query) != 0 || query.l_type == F_UNLCK || query.l_pid <= 0) return 0;
    return static_cast<int>(query.l_pid);
}

}  // namespace host::emulated
