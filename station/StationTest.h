// One pass of the station test: what the window's Test dialog and `v7ctl test`
// show. It reloads the configuration, refreshes the station from the driver,
// looks for the five drivers and reads the initialisation flags; it turns
// nothing on or off.
#pragma once

#include <string>
#include <vector>

#include "station/StationConfiguration.h"

namespace station {

// The indicators' labels, in the order the dialog shows them.
inline constexpr const char* kSoftwareRunningLabel = "Orvane V7 system software is running?";
inline constexpr const char* kConnectorBoxLabel = "V7 Station connector box initialized ok?";
inline constexpr const char* kKeyboardLabel = "V7 Station keyboard initialized ok?";
inline constexpr const char* kMouseLabel = "V7 Station mouse initialized ok?";
inline constexpr const char* kStationOnLabel = "V7 Station is turned on?";

struct TestResult {
    bool SoftwareRunning = false;  // the four Orvane drivers are loaded
    bool ConnectorBox = false;     // BaseInit
    bool Keyboard = false;         // KeyboardInit
    bool Mouse = false;            // MouseInit
    bool StationOn = false;        // StationLaunched, and the driver lists the station
    std::string Text;              // the troubleshooter's paragraphs, CR LF line ends
    std::vector<unsigned> Paragraphs;  // their string-table numbers, in order
    std::string Caption;           // "Test V7 Station: OK" or "... Problem?"
    bool ProblemFound = false;     // some check failed: the caption says "Problem?"
};

// Loads `config` from the registry and refreshes it from the driver (which may
// save a new current user), then checks; `config` keeps what was read.
TestResult RunTestPass(StationConfiguration& config);

}  // namespace station
