#include "host/emulated/stationd/InstanceLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace stationd {

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) close(m_fd);  // releases the lock
}

InstanceLock::Result InstanceLock::Acquire(const RootFiles& root, std::string* error) {
    int fd = root.OpenInDeviceDir(".stationd.lock", O_RDWR, error);
    if (fd < 0) return Result::Failed;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int why = errno;
        close(fd);
        if (why == EWOULDBLOCK) return Result::Taken;
        *error = DescribeOpenFailure("lock", root.DeviceDirPath() / ".stationd.lock", why);
        return Result::Failed;
    }
    m_fd = fd;
    return Result::Held;
}

}  // namespace stationd
