// test: the station test and its troubleshooter, as the Test dialog shows them.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/Readings.h"
#include "cli/Session.h"
#include "cli/Verbs.h"
#include "station/StationTest.h"

namespace cli {
namespace {

// The paragraphs' names for scripts: they stay when a paragraph's words change.
struct Advice {
    unsigned Paragraph;
    const char* Id;
};
constexpr Advice kAdvice[] = {
    {3000, "brakor-not-loaded"},     {3001, "quorel-not-loaded"},
    {3002, "tilvex-not-loaded"},     {3003, "dunvek-not-loaded"},
    {3004, "connector-box-not-initialized"}, {3005, "keyboard-not-initialized"},
    {3006, "mouse-not-initialized"}, {3007, "no-problems"},
    {3008, "station-not-on"},        {3009, "vflatd-not-loaded"},
};

std::string AdviceId(unsigned paragraph) {
    const auto found = std::find_if(std::begin(kAdvice), std::end(kAdvice),
                                    [paragraph](const Advice& a) { return a.Paragraph == paragraph; });
    return found == std::end(kAdvice) ? std::to_string(paragraph) : found->Id;
}

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
    // Without the drivers (or when they do not answer) the test still runs: it
    // says what is missing.
    const int reached = session.ReachDrivers();
    const station::TestResult result = station::RunTestPass(session.Configuration());
    Print(result.Caption);
    Print("");
    PrintIndicator(result.SoftwareRunning, station::kSoftwareRunningLabel);
    PrintIndicator(result.ConnectorBox, station::kConnectorBoxLabel);
    PrintIndicator(result.Keyboard, station::kKeyboardLabel);
    PrintIndicator(result.Mouse, station::kMouseLabel);
    PrintIndicator(result.StationOn, station::kStationOnLabel);
    Print("");
    nlohmann::json advice = nlohmann::json::array();
    std::string text;
    for (unsigned paragraph : result.Paragraphs) {
        const std::string lines = TerminalLines(Text(paragraph));
        text += lines;
        advice.push_back({{"id", AdviceId(paragraph)}, {"text", lines}});
    }
    if (!JsonOutput()) std::fputs(text.c_str(), stdout);
    Result() = {{"caption", result.Caption},
                {"problem-found", result.ProblemFound},
                {"checks", TestChecks(result)},
                {"advice", advice}};
    if (reached == kTimedOut) return kTimedOut;
    return result.ProblemFound ? kFailed : kOk;
}

}  // namespace

nlohmann::json TestChecks(const station::TestResult& result) {
    return {{"software-running", result.SoftwareRunning},
            {"connector-box", result.ConnectorBox},
            {"keyboard", result.Keyboard},
            {"mouse", result.Mouse},
            {"station-on", result.StationOn}};
}

void AddTestVerbs(CLI::App& app, Session& session) {
    app.add_subcommand("test",
                       "Test the V7 Station and print the troubleshooter's advice; "
                       "exit 0 when no problem was found, 1 otherwise")
        ->callback([&session] { session.SetExitCode(Test(session)); });
}

}  // namespace cli
