// v7ctl: the control center's jobs for an administrator or a script.
#include <CLI/CLI.hpp>

#include "cli/Session.h"
#include "cli/Verbs.h"
#include "resources/Version.h"

int main(int argc, char** argv) {
    CLI::App app{"Control the V7 Station: power, test, messages, user profiles, shutdown, options, versions.", "v7ctl"};
    app.require_subcommand(1, 1);
    app.fallthrough(false);
    app.set_version_flag("--version", "v7ctl " V7_PRODUCT_VERSION);

    cli::Session session;
    cli::AddPowerVerbs(app, session);
    cli::AddTestVerbs(app, session);
    cli::AddOptionVerbs(app, session);
    cli::AddUserVerbs(app, session);
    cli::AddVersionVerbs(app, session);
    cli::AddMessageVerbs(app, session);
    cli::AddShutdownVerbs(app, session);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? cli::kOk : cli::kUsage;
    }
    return session.ExitCode();
}
