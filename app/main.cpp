// The control center program.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <wx/app.h>

#include "app/V7App.h"
#include "host/program.h"
#include "resources/Version.h"

wxIMPLEMENT_APP_NO_MAIN(CV7App);

namespace {

constexpr const char* kAbout =
    "The control center of the V7 Station: turns the station on and off, tests it,\n"
    "sends its user a message, removes user profiles, shuts the computer down and\n"
    "sets the station's options; v7ctl does the same jobs from a shell.\n";

// --version and --help answer without a display, before wx starts.
bool AnswersInfoSwitch(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string_view arg = argv[1];
    if (arg == "--version")
        std::puts("orvane-v7 " V7_PRODUCT_VERSION);
    else if (arg == "--help" || arg == "-h")
        std::printf("usage: orvane-v7 %s[--version | --help]\n%s%s", host::HostOptionsUsage(), kAbout,
                    host::HostOptionsHelp());
    else
        return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // The host's options are the program's own: wx is handed the rest.
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string problem;
    if (!host::TakeHostOptions(&args, &problem)) {
        std::fprintf(stderr, "orvane-v7: %s\n", problem.c_str());
        return 2;
    }
    std::vector<char*> rest{argv[0]};
    for (std::string& arg : args) rest.push_back(arg.data());
    rest.push_back(nullptr);
    argc = static_cast<int>(rest.size()) - 1;
    argv = rest.data();
    if (AnswersInfoSwitch(argc, argv)) return 0;
    if (!host::HasDisplay(&problem)) {
        std::fprintf(stderr, "orvane-v7: %s\n", problem.c_str());
        return 1;
    }
    const int code = wxEntry(argc, argv);
    // A start that handed over to the copy already running did its job.
    return CV7App::HandedOverToRunningCopy() ? 0 : code;
}
