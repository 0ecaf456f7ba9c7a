// The command line of v7-stationd: its fault switches.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace stationd {

struct Options {
    bool Help = false;
    bool Version = false;
    bool RefuseOn = false;       // turn-on calls fail
    bool RefuseOff = false;      // turn-off calls fail
    bool RefuseMessage = false;  // broadcasts fail
    bool RefuseShutdown = false; // requests to end the session fail
    bool KeepPrograms = false;   // a shut down or restart ends no program
    std::set<std::string> Without;    // drivers left out of the loaded list (catalog spelling)
    std::set<std::string> InitZero;   // "base", "keyboard", "mouse": init values written as 0
    // Loaded versions (major, minor) reported instead of the catalog's, by catalog name.
    std::map<std::string, std::pair<std::uint8_t, std::uint8_t>> Versions;
    int SlowMs = 0;              // every reply is delayed by this much
    std::string StationName = "Station1";
    std::string CurrentUser;     // reported as the station's user while on, when set
};

// Parses argv[1..]; on a bad flag returns false with one line in *error.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

const char* UsageText();

}  // namespace stationd
