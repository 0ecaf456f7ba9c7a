// What the station drivers do when the host is asked to end its session
// (ExitWindowsEx, see host/emulated/exit_windows.h): log the request, end the
// running control center as the system would, take the station down, and for
// a restart come up again as at start; a shut down leaves them powered off.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "host/emulated/stationd/Options.h"
#include "host/emulated/stationd/StationDrivers.h"
#include "host/emulated/stationd/StationLog.h"

namespace stationd {

ControlReply PlayExitWindows(const Options& options, StationDrivers& drivers, StationLog& log,
                             const std::vector<std::uint8_t>& body);

// The control center's single-instance lock file in the host root; while a
// control center runs, it holds a POSIX lock on it.
std::filesystem::path ControlCenterLockPath();

// The process that holds the lock on the file, or 0 when none does.
int LockHolder(const std::filesystem::path& lockFile);

}  // namespace stationd
