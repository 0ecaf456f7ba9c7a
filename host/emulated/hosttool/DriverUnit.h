// The station drivers' systemd unit, as the control center's first start uses
// it: started through the service manager when it is installed. The system
// unit serves the system-wide root; the user unit every other root.
#pragma once

#include <string>

namespace hosttool {

inline constexpr const char kDriverUnit[] = "v7-stationd";

enum class UnitStart {
    Started,       // the drivers are up and serving (the unit waits for them)
    NotInstalled,  // the service manager does not know the unit, or there is none
    Failed,        // the unit is there but did not start; *why says what systemctl said
};

// "systemctl --user" for the user unit, "systemctl" for the system unit.
const char* DriverUnitCommand();

// "<command> cat v7-stationd", then "<command> start v7-stationd".
UnitStart StartDriversThroughUnit(std::string* why);

}  // namespace hosttool
