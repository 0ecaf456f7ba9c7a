// The main frame's Display Users and Remove User commands.
#pragma once

class CommandHost;

namespace users::ui {

void OnDisplayUsers(CommandHost& host);
void OnRemoveUser(CommandHost& host);

}  // namespace users::ui
