// shutdown: shut the host (and with it the V7 Station) down or restart it, as
// File > Shut Down Windows does.
#include <memory>

#include <CLI/CLI.hpp>

#include "cli/Session.h"
#include "cli/Verbs.h"
#include "users/ShutdownRequest.h"

namespace cli {
namespace {

constexpr unsigned IDS_SHUTDOWN_REFUSED = 1510;

// As the window does it: the setting is saved and the system asked whatever
// state the station drivers are in; shutting the computer down needs none of them.
int ShutDown(Session& session, bool restart) {
    const auto choice = restart ? users::ShutdownChoice::Restart : users::ShutdownChoice::ShutDown;
    Result()["action"] = restart ? "restart" : "shut-down";
    if (session.Check()) {
        ReportChanged(true);
        Print(restart ? "The computer would restart." : "The computer would shut down.");
        return kOk;
    }
    const bool done = users::RequestShutdown(session.Configuration(), choice);
    ReportChanged(done);
    if (!done) return FailText(IDS_SHUTDOWN_REFUSED);
    Print(restart ? "The computer is restarting." : "The computer is shutting down.");
    return kOk;
}

}  // namespace

void AddShutdownVerbs(CLI::App& app, Session& session) {
    auto* shutdown = app.add_subcommand(
        "shutdown", "Shut the computer down, or restart it; programs here and at the station end without saving");
    auto restart = std::make_shared<bool>(false);
    auto yes = std::make_shared<bool>(false);
    shutdown->add_flag("--restart,-r", *restart, "Restart instead of shutting down");
    shutdown->add_flag("--yes,-y", *yes, "Go ahead: unsaved work on the host and the station is lost");
    shutdown->callback([&session, restart, yes] {
        session.SetExitCode(*yes || session.Check() ? ShutDown(session, *restart)
                                 : RefuseWithoutYes("shutting down ends every program without saving its work"));
    });
}

}  // namespace cli
