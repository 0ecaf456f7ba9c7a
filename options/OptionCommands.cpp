#include "options/OptionCommands.h"

#include "host/registry_scope.h"

namespace options {

void SetAutoLaunch(StationConfiguration& config, bool on) {
    host::RegistryTransaction transaction;
    config.LoadConfiguration();
    config.AutoLaunch = on ? 1 : 0;
    config.SaveConfiguration();
    transaction.Commit();
}

void SetShutdownRequests(StationConfiguration& config, bool allow) {
    host::RegistryTransaction transaction;
    config.LoadConfiguration();
    config.ShutdownEnabled = config.ShutdownDefault = allow ? 1 : 0;
    // The board and station records are left as the drivers keep them.
    config.WriteProductValues();
    transaction.Commit();
}

}  // namespace options
