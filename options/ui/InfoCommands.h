// The Help menu's About and "Where to Go for More Help" commands.
#pragma once

class CommandHost;

namespace options::ui {

// The application object's About command: the About box, modal, without a
// parent of its own (it centres on the main window).
void OnAppAbout();

// The main frame's more-help command: the more-help box over the frame.
void OnMoreHelp(CommandHost& host);

}  // namespace options::ui
