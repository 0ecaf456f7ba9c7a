// The control center program.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <wx/app.h>

#include "app/V7App.h"
#include "host/emulated/root.h"
#include "resources/Version.h"

wxIMPLEMENT_APP_NO_MAIN(CV7App);

namespace {

constexpr const char* kHelp =
    "usage: orvane-v7 [--root PATH] [--version | --help]\n"
    "The control center of the V7 Station: turns the station on and off, tests it,\n"
    "sends its user a message, removes user profiles, shuts the computer down and\n"
    "sets the station's options. Works on the host root PATH, else the one named by\n"
    "V7_HOST_ROOT, else the default (the system-wide root for root,\n"
    "~/.local/share/orvane-v7/host for other users); v7ctl does the same jobs from a\n"
    "shell.\n";

// --version and --help answer without a display, before wx starts.
bool AnswersInfoSwitch(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string_view arg = argv[1];
    if (arg == "--version") std::puts("orvane-v7 " V7_PRODUCT_VERSION);
    else if (arg == "--help" || arg == "-h") std::fputs(kHelp, stdout);
    else return false;
    return true;
}

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // --root is the program's own: wx is handed the rest.
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string rootError;
    if (!host::emulated::TakeRootOption(&args, &rootError)) {
        std::fprintf(stderr, "orvane-v7: %s\n", rootError.c_str());
        return 2;
    }
    std::vector<char*> rest{argv[0]};
    for (std::string& arg : args) rest.push_back(arg.data());
    rest.push_back(nullptr);
    argc = static_cast<int>(rest.size()) - 1;
    argv = rest.data();
    if (AnswersInfoSwitch(argc, argv)) return 0;
    if (!HasDisplay()) {
        std::fputs("orvane-v7: no display (set DISPLAY)\n", stderr);
        return 1;
    }
    const int code = wxEntry(argc, argv);
    // A start that handed over to the copy already running did its job.
    return CV7App::HandedOverToRunningCopy() ? 0 : code;
}
