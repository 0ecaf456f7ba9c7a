// The Options menu's four commands, as the window and v7ctl both run them.
// Each is one load-change-save cycle in one registry transaction, so a value
// another program stored since the last load is never overwritten with a
// stale copy, and no other writer comes between the load and the save.
#pragma once

#include <optional>

#include "station/StationConfiguration.h"

namespace options {

// Each returns whether the registry held another choice, that is whether it
// changed something; with dryRun it writes nothing and says whether it would.
// Nothing (std::nullopt) when the registry could not be changed.

// Turn the station on when the PC starts (or leave it off): a full save, which
// writes the station's "AutoLaunch" and the product's "AutoLaunch Enabled".
std::optional<bool> SetAutoLaunch(StationConfiguration& config, bool on, bool dryRun = false);

// Allow (or stop) shut-down requests: "Shutdown Enabled" and "Shutdown Default"
// both take the choice; only the product values are written.
std::optional<bool> SetShutdownRequests(StationConfiguration& config, bool allow, bool dryRun = false);

}  // namespace options
