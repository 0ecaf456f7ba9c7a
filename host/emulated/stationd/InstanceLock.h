// One station-drivers process per host root: an exclusive lock on a file next
// to the device socket, held for the life of the process. Holding it also
// proves that a socket file left at the device path is stale.
#pragma once

#include <filesystem>

namespace stationd {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds it (or the file cannot be made).
    bool Acquire(const std::filesystem::path& lockFile);

private:
    int m_fd = -1;
};

}  // namespace stationd
