#include "resources/ui/CommandTable.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace cmd {
namespace {

// Every command number in one list; a command's wx ID is its place in it.
constexpr std::array kCommands = {
    ID_MORE_HELP,     ID_AUTOLAUNCH_OFF, ID_SEND_MESSAGE,    ID_REMOVE_USER,      ID_DISPLAY_USERS,
    ID_STATION_ON,    ID_STATION_OFF,    ID_STATION_TEST,    ID_EXIT,             ID_AUTOLAUNCH_ON,
    ID_ALLOW_SHUTDOWN, ID_STOP_SHUTDOWN, ID_STATION_OPTIONS, ID_SHUTDOWN_WINDOWS, ID_APP_ABOUT,
    ID_APP_EXIT,      ID_HELP_INDEX,     ID_HELP_FINDER,     ID_HELP_USING,       ID_CONTEXT_HELP,
    ID_HELP,          ID_DEFAULT_HELP,
};

constexpr int kFirstWxId = wxID_HIGHEST + 1;
static_assert(kFirstWxId + static_cast<int>(kCommands.size()) - 1 < 32767,
              "wx refuses menu IDs at or above 32767");

}  // namespace

int ToWxId(int systemCommand) {
    auto it = std::find(kCommands.begin(), kCommands.end(), systemCommand);
    if (it == kCommands.end()) return wxID_NONE;
    return kFirstWxId + static_cast<int>(std::distance(kCommands.begin(), it));
}

int ToSystemCommand(int wxId) {
    int index = wxId - kFirstWxId;
    if (index < 0 || index >= static_cast<int>(kCommands.size())) return 0;
    return kCommands[static_cast<std::size_t>(index)];
}

int FirstWxId() { return kFirstWxId; }
int LastWxId() { return kFirstWxId + static_cast<int>(kCommands.size()) - 1; }

bool IsAvailable(int systemCommand) {
    switch (systemCommand) {
    case ID_STATION_ON:
    case ID_STATION_OFF:
    case ID_STATION_TEST:
    case ID_AUTOLAUNCH_ON:
    case ID_AUTOLAUNCH_OFF:
    case ID_ALLOW_SHUTDOWN:
    case ID_STOP_SHUTDOWN:
    case ID_STATION_OPTIONS:
    case ID_DISPLAY_USERS:
    case ID_REMOVE_USER:
    case ID_SEND_MESSAGE:
    case ID_SHUTDOWN_WINDOWS:
    case ID_EXIT:
    case ID_APP_EXIT:
    case ID_HELP_INDEX:
    case ID_HELP_FINDER:
    case ID_HELP_USING:
    case ID_CONTEXT_HELP:
    case ID_HELP:
    case ID_DEFAULT_HELP:
    case ID_MORE_HELP:
    case ID_APP_ABOUT:
        return true;
    default:
        return false;  // not a command of the system
    }
}

}  // namespace cmd
