#include "host/emulated/stationd/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace stationd {

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) close(m_fd);  // releases the lock
}

bool InstanceLock::Acquire(const std::filesystem::path& lockFile) {
    int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

}  // namespace stationd
