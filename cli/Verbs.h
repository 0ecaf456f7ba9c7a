// Each verb adds its sub-command to the program; its callback does the work
// through the same plain operations as the window and sets the exit code.
#pragma once

namespace CLI {
class App;
}

namespace cli {

class Session;

void AddPowerVerbs(CLI::App& app, Session& session);  // status, on, off
void AddMessageVerbs(CLI::App& app, Session& session);  // message
void AddShutdownVerbs(CLI::App& app, Session& session);  // shutdown

}  // namespace cli
