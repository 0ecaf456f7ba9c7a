// The registry values the station drivers own, written each time they start:
// detection, the station's I/O handle and board, the three init results, and
// whether the station came on by itself (its "AutoLaunch" option).
#pragma once

#include <string>

#include "host/emulated/stationd/Options.h"
#include "host/emulated/stationd/StationDrivers.h"

namespace stationd {

inline constexpr const char* kStationKey = "Software\\Halvorn\\Orvane\\Setup\\Station1";
inline constexpr const char* kBoardKey = "Software\\Halvorn\\Orvane\\Setup\\Board1";
inline constexpr const char* kNoUser = "[ None ]";
inline constexpr const char* kDefaultUser = "User1";

// Writes the values and turns the station on when AutoLaunch says so. False
// (with one line in *error) when the registry cannot be written.
bool WriteStartupValues(const Options& options, StationDrivers& drivers, std::string* error);

}  // namespace stationd
