// One station-drivers process per host root: an exclusive lock on a file next
// to the device socket, held for the life of the process. Holding it also
// proves that a socket file left at the device path is stale.
#pragma once

#include <string>

#include "host/emulated/stationd/RootFiles.h"

namespace stationd {

class InstanceLock {
public:
    enum class Result { Held, Taken, Failed };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Taken when another process holds it; Failed (with one line in *error)
    // when the lock file cannot be opened at all.
    Result Acquire(const RootFiles& root, std::string* error);

private:
    int m_fd = -1;
};

}  // namespace stationd
