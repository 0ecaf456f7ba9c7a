// v7ctl: the control center's jobs for an administrator or a script.
#include <CLI/CLI.hpp>

#include <string>

#include "cli/Session.h"
#include "cli/Verbs.h"
#include "host/text.h"
#include "resources/Version.h"

int main(int argc, char** argv) {
    CLI::App app{"Control the V7 Station: power, test, messages, user profiles, shutdown, options, versions.", "v7ctl"};
    app.require_subcommand(1, 1);
    app.fallthrough(false);
    app.set_version_flag("--version", "v7ctl " V7_PRODUCT_VERSION);
    // The parser's words quote the arguments: their control characters escaped.
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return host::TerminalText(error.what()) + "\nRun with --help for more information.\n";
    });

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
        // Without a verb CLI11 only says a subcommand is required, even when
        // the first word is a mistyped verb; name the word instead.
        if (app.get_subcommands().empty() && error.get_exit_code() != 0) {
            if (argc > 1 && argv[1][0] != '-')
                cli::Fail("\"" + host::TerminalText(argv[1]) + "\" is not a verb (v7ctl --help lists them)");
            else
                cli::Fail("name a verb (v7ctl --help lists them)");
            return cli::kUsage;
        }
        const int code = app.exit(error);
        return code == 0 ? cli::kOk : cli::kUsage;
    }
    return session.ExitCode();
}
