// The main frame's Shut Down Windows command.
#pragma once

class CommandHost;

namespace users::ui {

void OnShutDownWindows(CommandHost& host);

}  // namespace users::ui
