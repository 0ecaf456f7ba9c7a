#include "options/OptionCommands.h"

namespace options {

void SetAutoLaunch(StationConfiguration& config, bool on) {
    config.LoadConfiguration();
    config.AutoLaunch = on ? 1 : 0;
    config.SaveConfiguration();
}

void SetShutdownRequests(StationConfiguration& config, bool allow) {
    config.LoadConfiguration();
    config.ShutdownEnabled = config.ShutdownDefault = allow ? 1 : 0;
    // The board and station records are left as the drivers keep them.
    config.WriteProductValues();
}

}  // namespace options
