// test: the station test and its troubleshooter, as the Test dialog shows them.
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/Session.h"
#include "cli/Verbs.h"
#include "station/StationTest.h"

namespace cli {
namespace {

// The paragraphs end their lines with CR LF; a terminal wants LF alone.
std::string TerminalLines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

void PrintIndicator(bool on, const char* label) { Print(std::string(on ? "[x] " : "[ ] ") + label); }

int Test(Session& session) {
    // Without the drivers the test still runs: it says what is missing.
    session.OpenDriver();
    const station::TestResult result = station::RunTestPass(session.Configuration());
    Print(result.Caption);
    Print("");
    PrintIndicator(result.SoftwareRunning, station::kSoftwareRunningLabel);
    PrintIndicator(result.ConnectorBox, station::kConnectorBoxLabel);
    PrintIndicator(result.Keyboard, station::kKeyboardLabel);
    PrintIndicator(result.Mouse, station::kMouseLabel);
    PrintIndicator(result.StationOn, station::kStationOnLabel);
    Print("");
    std::fputs(TerminalLines(result.Text).c_str(), stdout);
    return result.ProblemFound ? kFailed : kOk;
}

}  // namespace

void AddTestVerbs(CLI::App& app, Session& session) {
    app.add_subcommand("test",
                       "Test the V7 Station and print the troubleshooter's advice; "
                       "exit 0 when no problem was found, 1 otherwise")
        ->callback([&session] { session.SetExitCode(Test(session)); });
}

}  // namespace cli
