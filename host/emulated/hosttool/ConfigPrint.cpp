// "config": the station configuration exactly as the control center loads it,
// one Field=value line per field in field order. LastStationRecord lives only
// in the control center's memory and is left out; numbers are decimal.
#include <ostream>

#include "host/emulated/hosttool/Commands.h"
#include "station/StationConfiguration.h"

namespace hosttool {

void PrintConfiguration(std::ostream& out) {
    RequireSetUpRoot();
    StationConfiguration c;
    c.LoadConfiguration();
    CheckRegistryProblem();
    out << "BoardDetected=" << c.BoardDetected << '\n'
        << "BoardLaunched=" << c.BoardLaunched << '\n'
        << "BoardName=" << c.BoardName << '\n'
        << "StationDetected=" << c.StationDetected << '\n'
        << "StationLaunched=" << c.StationLaunched << '\n'
        << "AutoLaunch=" << c.AutoLaunch << '\n'
        << "OnLine=" << c.OnLine << '\n'
        << "IoHandle=" << c.IoHandle << '\n'
        << "BoardNumber=" << c.BoardNumber << '\n'
        << "CurrentUser=" << c.CurrentUser << '\n'
        << "DefaultUser=" << c.DefaultUser << '\n'
        << "StationName=" << c.StationName << '\n'
        << "BaseInit=" << c.BaseInit << '\n'
        << "KeyboardInit=" << c.KeyboardInit << '\n'
        << "MouseInit=" << c.MouseInit << '\n'
        << "StationDisplay=" << c.StationDisplay << '\n'
        << "StationMode=" << c.StationMode << '\n'
        << "RefreshRate=" << c.RefreshRate << '\n'
        << "ShutdownEnabled=" << c.ShutdownEnabled << '\n'
        << "ShutdownDefault=" << c.ShutdownDefault << '\n';
}

}  // namespace hosttool
