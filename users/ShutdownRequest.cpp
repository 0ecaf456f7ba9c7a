#include "users/ShutdownRequest.h"

#include "host/system.h"

namespace users {

host::UINT ExitFlags(ShutdownChoice choice) {
    return (choice == ShutdownChoice::ShutDown ? host::kExitShutdown : host::kExitReboot) | host::kExitForce;
}

bool RequestShutdown(StationConfiguration& config, ShutdownChoice choice) {
    const host::UINT flags = ExitFlags(choice);
    config.LoadConfiguration();
    config.ShutdownEnabled = 1;
    // Saved completely before the request: a forced end leaves no later chance.
    config.SaveConfiguration();
    return host::ExitWindowsEx(flags, 0) != 0;
}

}  // namespace users
