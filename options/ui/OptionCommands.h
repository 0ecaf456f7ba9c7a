// The Options menu's start-up and shut-down request commands, their radio
// marks, and "More..." (the station options dialog).
#pragma once

class CommandHost;
class wxUpdateUIEvent;

namespace options::ui {

void OnAutoLaunchOn(CommandHost& host);
void OnAutoLaunchOff(CommandHost& host);
void OnAllowShutdown(CommandHost& host);
void OnStopShutdown(CommandHost& host);
void OnStationOptions(CommandHost& host);

// The pop-up's items update from the top: the first reloads the configuration,
// so the marks of all four show what the registry holds as the menu opens.
void OnUpdateAutoLaunchOn(CommandHost& host, wxUpdateUIEvent& event);
void OnUpdateAutoLaunchOff(CommandHost& host, wxUpdateUIEvent& event);
void OnUpdateAllowShutdown(CommandHost& host, wxUpdateUIEvent& event);
void OnUpdateStopShutdown(CommandHost& host, wxUpdateUIEvent& event);

}  // namespace options::ui
