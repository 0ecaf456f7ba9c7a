// The main frame's Send a message command (menu and the panel's Broadcast button).
#pragma once

class CommandHost;

namespace users::ui {

void OnSendMessage(CommandHost& host);

}  // namespace users::ui
