// version: the About box's text and its version report, as the window shows them.
#include <CLI/CLI.hpp>

#include "cli/Session.h"
#include "cli/Verbs.h"
#include "options/AboutText.h"
#include "options/VersionReport.h"

namespace cli {
namespace {

// The texts are built with "\r\n" line ends; a terminal wants "\n".
void PrintLines(const std::string& text) {
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        Print(text.substr(start, end - start));
        start = end + 2;
    }
}

int Version(Session& session) {
    PrintLines(options::AboutText());
    Print("");
    // Without the drivers the report still shows the files' versions, each
    // driver "not loaded"; the missing drivers are named on stderr.
    session.OpenDriver();
    PrintLines(options::VersionReport());
    return kOk;
}

}  // namespace

void AddVersionVerbs(CLI::App& app, Session& session) {
    app.add_subcommand("version", "Show the program's version, the running time and the drivers' versions")
        ->callback([&session] { session.SetExitCode(Version(session)); });
}

}  // namespace cli
