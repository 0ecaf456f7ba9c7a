// What the station drivers do when the host is asked to end its session
// (ExitWindowsEx, see host/emulated/exit_windows.h): log the request, end the
// running control center as the system would, take the station down, and for
// a restart come up again as at start; a shut down leaves them powered off.
// The request is answered once it is under way, as ExitWindowsEx returns; the
// wait for the control center to end runs in the event loop, so other clients
// are served meanwhile.
#pragma once

#include <cstdint>
#include <vector>

#include "host/emulated/stationd/Options.h"
#include "host/emulated/stationd/StationDrivers.h"
#include "host/emulated/stationd/StationLog.h"

namespace stationd {

ControlReply PlayExitWindows(const Options& options, StationDrivers& drivers, StationLog& log,
                             const std::vector<std::uint8_t>& body);

}  // namespace stationd
