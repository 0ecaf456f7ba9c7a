// The main frame's Turn On and Turn Off commands and their menu rules.
#pragma once

class CommandHost;
class wxUpdateUIEvent;

namespace station::ui {

void OnStationOn(CommandHost& host);
void OnStationOff(CommandHost& host);

// The Station items use the values in memory, without reloading.
void OnUpdateStationOn(CommandHost& host, wxUpdateUIEvent& event);
void OnUpdateStationOff(CommandHost& host, wxUpdateUIEvent& event);

}  // namespace station::ui
