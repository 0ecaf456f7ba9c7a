// The system's command numbers (32770 and up, 57664 and up) are the identity of
// every command. wx refuses menu IDs at or above 32767, so each number maps to a
// wx ID here and nowhere else.
#pragma once

#include <wx/defs.h>

namespace cmd {

// Command numbers of the menu, the accelerator and the panel.
enum SystemCommand : int {
    ID_MORE_HELP = 32770,          // Help > Where to Go for More Help
    ID_AUTOLAUNCH_OFF = 32771,     // Options > Leave V7 Station Off when PC starts
    ID_SEND_MESSAGE = 32772,       // Messages > Send a message...
    ID_REMOVE_USER = 32773,        // Users > Remove User ...
    ID_DISPLAY_USERS = 32774,      // Users > Display Users...
    ID_STATION_ON = 32775,         // Station > Turn On the V7 Station
    ID_STATION_OFF = 32776,        // Station > Turn Off the V7 Station
    ID_STATION_TEST = 32777,       // Station > Test the V7 Station...
    ID_EXIT = 32778,               // File > Exit
    ID_AUTOLAUNCH_ON = 32779,      // Options > Turn On V7 Station when PC starts
    ID_ALLOW_SHUTDOWN = 32780,     // Options > Allow System Shut Down requests
    ID_STOP_SHUTDOWN = 32781,      // Options > Stop System Shut Down requests
    ID_STATION_OPTIONS = 32782,    // Options > More...
    ID_SHUTDOWN_WINDOWS = 32783,   // File > Shut Down Windows...
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,           // Ctrl+X
    ID_HELP_INDEX = 57666,
    ID_HELP_FINDER = 57667,        // Help > Contents and Index
    ID_HELP_USING = 57668,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,               // the Help buttons of the panel and the dialogs
    ID_DEFAULT_HELP = 57671,
};

// The wx ID that stands for a system command number; wxID_NONE for an unknown number.
int ToWxId(int systemCommand);
// The system command number behind a wx ID; 0 when the ID is not a command's.
int ToSystemCommand(int wxId);
// All commands' wx IDs lie in [FirstWxId(), LastWxId()].
int FirstWxId();
int LastWxId();

// False for commands whose feature this build does not have: their menu items
// are shown greyed and their panel buttons disabled. Every command of the
// system has its feature now; the rule stays for builds that leave one out.
bool IsAvailable(int systemCommand);

}  // namespace cmd
