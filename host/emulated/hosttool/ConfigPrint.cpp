// "config": the station configuration exactly as the control center loads it,
// one Field=value line per field in field order. LastStationRecord lives only
// in the control center's memory and is left out; numbers are decimal.
#include <ostream>
#include <string>

#include "host/emulated/hosttool/Commands.h"
#include "host/text.h"
#include "station/StationConfiguration.h"

namespace hosttool {
namespace {

// Numbers as they are; a text with its control characters escaped.
template <typename Number>
Number Shown(Number value) {
    return value;
}
std::string Shown(const std::string& text) { return host::TerminalText(text); }

}  // namespace

void PrintConfiguration(std::ostream& out) {
    RequireSetUpRoot();
    StationConfiguration c;
    c.LoadConfiguration();
    CheckRegistryProblem();
    out << "BoardDetected=" << Shown(c.BoardDetected) << '\n'
        << "BoardLaunched=" << Shown(c.BoardLaunched) << '\n'
        << "BoardName=" << Shown(c.BoardName) << '\n'
        << "StationDetected=" << Shown(c.StationDetected) << '\n'
        << "StationLaunched=" << Shown(c.StationLaunched) << '\n'
        << "AutoLaunch=" << Shown(c.AutoLaunch) << '\n'
        << "OnLine=" << Shown(c.OnLine) << '\n'
        << "IoHandle=" << Shown(c.IoHandle) << '\n'
        << "BoardNumber=" << Shown(c.BoardNumber) << '\n'
        << "CurrentUser=" << Shown(c.CurrentUser) << '\n'
        << "DefaultUser=" << Shown(c.DefaultUser) << '\n'
        << "StationName=" << Shown(c.StationName) << '\n'
        << "BaseInit=" << Shown(c.BaseInit) << '\n'
        << "KeyboardInit=" << Shown(c.KeyboardInit) << '\n'
        << "MouseInit=" << Shown(c.MouseInit) << '\n'
        << "StationDisplay=" << Shown(c.StationDisplay) << '\n'
        << "StationMode=" << Shown(c.StationMode) << '\n'
        << "RefreshRate=" << Shown(c.RefreshRate) << '\n'
        << "ShutdownEnabled=" << Shown(c.ShutdownEnabled) << '\n'
        << "ShutdownDefault=" << Shown(c.ShutdownDefault) << '\n';
}

}  // namespace hosttool
