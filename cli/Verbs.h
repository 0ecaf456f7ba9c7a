// Each verb adds its sub-command to the program; its callback does the work
// through the same plain operations as the window and sets the exit code.
#pragma once

namespace CLI {
class App;
}

namespace cli {

class Session;

void AddPowerVerbs(CLI::App& app, Session& session);  // status, is-on, on, off
void AddTestVerbs(CLI::App& app, Session& session);   // test
void AddOptionVerbs(CLI::App& app, Session& session);  // options, set ...
void AddUserVerbs(CLI::App& app, Session& session);   // users, remove-user
void AddVersionVerbs(CLI::App& app, Session& session);  // version
void AddMessageVerbs(CLI::App& app, Session& session);  // message
void AddShutdownVerbs(CLI::App& app, Session& session);  // shutdown
void AddMetricsVerbs(CLI::App& app, Session& session);  // metrics

}  // namespace cli
