#include "options/ui/OptionCommands.h"

#include <wx/event.h>

#include "options/OptionCommands.h"
#include "options/StationOptions.h"
#include "options/ui/StationOptionsDlg.h"
#include "station/ui/CommandHost.h"

namespace options::ui {

void OnAutoLaunchOn(CommandHost& host) { SetAutoLaunch(host.Configuration(), true); }

void OnAutoLaunchOff(CommandHost& host) { SetAutoLaunch(host.Configuration(), false); }

void OnAllowShutdown(CommandHost& host) { SetShutdownRequests(host.Configuration(), true); }

void OnStopShutdown(CommandHost& host) { SetShutdownRequests(host.Configuration(), false); }

void OnStationOptions(CommandHost& host) {
    StationConfiguration& config = host.Configuration();
    const StationOptions opened = LoadStationOptions(config);
    CStationOptionsDlg dialog(host.Window(), opened);
    if (dialog.ShowModal() == wxID_OK) SaveStationOptions(config, dialog.Options(), opened);
}

// A radio item cannot be unmarked on its own; marking the other item of the
// pair unmarks it, so each pair ends with exactly one mark.
void OnUpdateAutoLaunchOn(CommandHost& host, wxUpdateUIEvent& event) {
    host.Configuration().LoadConfiguration();
    event.Check(host.Configuration().AutoLaunch != 0);
}

void OnUpdateAutoLaunchOff(CommandHost& host, wxUpdateUIEvent& event) {
    event.Check(host.Configuration().AutoLaunch == 0);
}

// The standing choice, not "Shutdown Enabled", which Shut Down sets on its way.
void OnUpdateAllowShutdown(CommandHost& host, wxUpdateUIEvent& event) {
    event.Check(host.Configuration().ShutdownDefault != 0);
}

void OnUpdateStopShutdown(CommandHost& host, wxUpdateUIEvent& event) {
    event.Check(host.Configuration().ShutdownDefault == 0);
}

}  // namespace options::ui
