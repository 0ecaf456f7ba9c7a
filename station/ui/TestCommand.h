// The main frame's Test command: pass after pass of the station test, each
// shown in the Test V7 Station dialog until the person closes it.
#pragma once

class CommandHost;

namespace station::ui {

void OnStationTest(CommandHost& host);

}  // namespace station::ui
