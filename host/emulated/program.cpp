#include "host/program.h"

#include <cstdlib>

#include "host/emulated/root.h"

namespace host {

bool TakeHostOptions(std::vector<std::string>* args, std::string* error) {
    return emulated::TakeRootOption(args, error);
}

const char* HostOptionsUsage() { return "[--root PATH] "; }

const char* HostOptionsHelp() {
    return "Works on the host root PATH, else the one named by V7_HOST_ROOT, else the\n"
           "default (the system-wide root for root, ~/.local/share/orvane-v7/host for\n"
           "other users).\n";
}

bool HasDisplay(std::string* why) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    *why = "no display (set DISPLAY)";
    return false;
}

std::filesystem::path HostFolder() { return emulated::HostRoot(); }

std::string RegistryProblem() { return emulated::RegistryProblem(); }

}  // namespace host
