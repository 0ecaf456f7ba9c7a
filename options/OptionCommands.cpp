#include "options/OptionCommands.h"

#include "host/registry_scope.h"

namespace options {

std::optional<bool> SetAutoLaunch(StationConfiguration& config, bool on, bool dryRun) {
    host::RegistryTransaction transaction;
    if (transaction.Status() != host::kErrorSuccess) return std::nullopt;
    config.LoadConfiguration();
    const unsigned value = on ? 1 : 0;
    const bool changes = config.AutoLaunch != value;
    if (dryRun) return changes;
    config.AutoLaunch = value;
    config.SaveConfiguration();
    if (transaction.Commit() != host::kErrorSuccess) return std::nullopt;
    return changes;
}

std::optional<bool> SetShutdownRequests(StationConfiguration& config, bool allow, bool dryRun) {
    host::RegistryTransaction transaction;
    if (transaction.Status() != host::kErrorSuccess) return std::nullopt;
    config.LoadConfiguration();
    const unsigned value = allow ? 1 : 0;
    const bool changes = config.ShutdownEnabled != value || config.ShutdownDefault != value;
    if (dryRun) return changes;
    config.ShutdownEnabled = config.ShutdownDefault = value;
    // The board and station records are left as the drivers keep them.
    config.WriteProductValues();
    if (transaction.Commit() != host::kErrorSuccess) return std::nullopt;
    return changes;
}

}  // namespace options
