#include "options/OptionCommands.h"

#include "host/registry_scope.h"

namespace options {

bool SetAutoLaunch(StationConfiguration& config, bool on, bool dryRun) {
    host::RegistryTransaction transaction;
    config.LoadConfiguration();
    const unsigned value = on ? 1 : 0;
    const bool changes = config.AutoLaunch != value;
    if (dryRun) return changes;
    config.AutoLaunch = value;
    config.SaveConfiguration();
    transaction.Commit();
    return changes;
}

bool SetShutdownRequests(StationConfiguration& config, bool allow, bool dryRun) {
    host::RegistryTransaction transaction;
    config.LoadConfiguration();
    const unsigned value = allow ? 1 : 0;
    const bool changes = config.ShutdownEnabled != value || config.ShutdownDefault != value;
    if (dryRun) return changes;
    config.ShutdownEnabled = config.ShutdownDefault = value;
    // The board and station records are left as the drivers keep them.
    config.WriteProductValues();
    transaction.Commit();
    return changes;
}

}  // namespace options
