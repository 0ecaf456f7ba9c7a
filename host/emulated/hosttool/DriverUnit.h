// The station drivers' systemd user unit, as the control center's first start
// uses it: started through the user's service manager when it is installed.
#pragma once

#include <string>

namespace hosttool {

inline constexpr const char kDriverUnit[] = "v7-stationd";

enum class UnitStart {
    Started,       // the drivers are up and serving (the unit waits for them)
    NotInstalled,  // the service manager does not know the unit, or there is none
    Failed,        // the unit is there but did not start; *why says what systemctl said
};

// "systemctl --user cat v7-stationd", then "systemctl --user start v7-stationd".
UnitStart StartDriversThroughUnit(std::string* why);

}  // namespace hosttool
