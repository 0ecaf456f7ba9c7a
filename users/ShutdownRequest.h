// Shutting the host down or restarting it, as the window and v7ctl both ask
// for it: shutdown requests are marked as allowed in the saved configuration
// first, then the system is asked, forcing programs to end.
#pragma once

#include "host/types.h"
#include "station/StationConfiguration.h"

namespace users {

enum class ShutdownChoice {
    ShutDown = 0,
    Restart = 1,
    Neither = 2,  // no choice made: restarts, as the system always has
};

// EWX_SHUTDOWN or EWX_REBOOT, with EWX_FORCE: 5 or 6.
host::UINT ExitFlags(ShutdownChoice choice);

// Reloads the configuration, saves it with "Shutdown Enabled" at 1 (the rest
// as loaded), then asks the system. True when the system took the request;
// the setting stays saved either way.
bool RequestShutdown(StationConfiguration& config, ShutdownChoice choice);

}  // namespace users
