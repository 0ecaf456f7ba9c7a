// v7ctl: the control center's jobs for an administrator or a script.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <string>

#include "cli/Session.h"
#ifndef _WIN32
#include "host/emulated/root.h"
#endif
#include "cli/Verbs.h"
#include "host/registry.h"
#include "host/text.h"
#include "station/StationConfiguration.h"
#include "resources/Version.h"

namespace {

// A host without the product's key (a root never set up, or the product not
// installed) or whose registry cannot be read has no settings to show or
// change: its defaults would pass for them. The registry's own code, else 0.
struct NotInstalled {
    long Status;
};
long ProductKeyStatus() {
    host::HKEY key{};
    const long status = host::OpenRegKey(host::kLocalMachine, kProductKey, 0, host::kKeyRead, &key);
    if (status == host::kErrorSuccess) host::CloseRegKey(key);
    return status;
}

constexpr const char* kFooter =
#ifdef _WIN32
    "--json, --check and --timeout SECONDS go before the verb or after it.\n"
#else
    "--json, --check, --timeout SECONDS and --root PATH go before the verb or after it.\n"
#endif
    "Exit codes: 0 done (or nothing to change); 1 the job failed, or test found a problem; 2 a wrong\n"
    "command line or a missing --yes; 3 the station drivers are not running; 4 no such user profile;\n"
    "5 the station drivers refused; 6 the station drivers did not answer within the timeout.";

// The parser failed before --json could be read: look for it among the words.
bool AskedForJson(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--") return false;
        if (word == "--json") return true;
    }
    return false;
}

// The first word that is no option (nor an option's value): where the verb belongs.
const char* FirstWord(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-') return argv[i];
        if (std::string(argv[i]) == "--timeout" || std::string(argv[i]) == "--root") ++i;
    }
    return nullptr;
}

// Seconds from a millisecond to a day; not "nan", which every range check lets by.
std::string TimeoutError(const std::string& text) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end != text.c_str() && *end == '\0' && seconds >= 0.001 && seconds <= 86400) return {};
    return "seconds from 0.001 to 86400, not \"" + text + "\"";
}

int UsageError(const std::string& message) {
    cli::Fail(message, cli::kUsage);
    return cli::Finish(cli::kUsage);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Control the V7 Station: power, test, messages, user profiles, shutdown, options, versions.", "v7ctl"};
    app.require_subcommand(1, 1);
    // --json, --timeout, --check and --root are read before the verb and after it:
    // what a verb does not know falls through to the program's own options.
    app.fallthrough(true);
    app.set_version_flag("--version", "v7ctl " V7_PRODUCT_VERSION);
    app.footer(kFooter);
    // The parser's words quote the arguments: their control characters escaped.
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return "v7ctl: " + host::TerminalText(error.what()) + "\nRun with --help for more information.\n";
    });

    cli::Session session;
    bool json = false, check = false;
    double timeout = 5;
    app.add_flag("--json", json, "Write one JSON object on standard output (errors also as {\"error\": ...})");
    app.add_flag("--check", check, "Report what a verb would change (\"changed\") and change nothing");
    app.add_option("--timeout", timeout, "Seconds each call waits for the station drivers (default 5)")
        ->check(CLI::Validator(TimeoutError, "SECONDS"));
#ifndef _WIN32
    std::string root;
    app.add_option("--root", root, "The host root to work on (before V7_HOST_ROOT and the default root)")
        ->check(CLI::Validator([](const std::string& path) { return path.empty() ? "a path, not \"\"" : ""; },
                               "PATH"));
#endif

    cli::AddPowerVerbs(app, session);
    cli::AddTestVerbs(app, session);
    cli::AddOptionVerbs(app, session);
    cli::AddUserVerbs(app, session);
    cli::AddVersionVerbs(app, session);
    cli::AddMessageVerbs(app, session);
    cli::AddShutdownVerbs(app, session);
    cli::AddMetricsVerbs(app, session);
    // Once the whole command line is read, before the verb runs.
    app.parse_complete_callback([&] {
        cli::SetJsonOutput(json);
        session.SetCheck(check);
        session.SetTimeout(timeout);
#ifndef _WIN32
        if (!root.empty()) {
            host::emulated::RootSources sources;
            sources.Option = root;
            host::emulated::SetHostRoot(host::emulated::ChooseHostRoot(sources));
        }
#endif
        if (const long status = ProductKeyStatus(); status != host::kErrorSuccess) throw NotInstalled{status};
    });

    try {
        app.parse(argc, argv);
    } catch (const NotInstalled& missing) {
        if (missing.Status == host::kErrorFileNotFound)
            return cli::Finish(cli::Fail("Orvane V7 is not set up on this host: the registry has no " +
                                         std::string(kProductKey) + " key"));
        return cli::Finish(cli::Fail("the registry cannot be read (error " + std::to_string(missing.Status) +
                                     "); nothing was read or changed"));
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        cli::SetJsonOutput(AskedForJson(argc, argv));
        // Without a verb CLI11 only says a subcommand is required, even when
        // the first word is a mistyped verb; name the word instead.
        if (app.get_subcommands().empty()) {
            if (const char* word = FirstWord(argc, argv))
                return UsageError("\"" + host::TerminalText(word) + "\" is not a verb (v7ctl --help lists them)");
            return UsageError("name a verb (v7ctl --help lists them)");
        }
        if (!cli::JsonOutput()) {
            app.exit(error);
            return cli::kUsage;
        }
        return UsageError(error.what());
    }
    return cli::Finish(session.ExitCode());
}
