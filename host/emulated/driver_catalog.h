// The virtual device drivers of the emulated host: what the station drivers
// report as loaded and what the installer puts in C:\WINDOWS\SYSTEM.
#pragma once

#include <array>
#include <cstdint>

namespace host::emulated {

struct DriverInfo {
    const char* Name;           // "Brakor"
    const char* FileName;       // "Brakor.vxd" in C:\WINDOWS\SYSTEM
    std::uint16_t DeviceNumber;
    std::uint8_t Major;         // loaded version
    std::uint8_t Minor;
    const char* FileVersion;    // the file's version string
    const char* Description;
    const char* Company;
};

// In the order the drivers report them.
inline constexpr std::array<DriverInfo, 5> kDrivers{{
    {"Brakor", "Brakor.vxd", 0x3AE3, 2, 30, "2.30.0.112", "V7 Station main driver", "Halvorn"},
    {"Quorel", "Quorel.vxd", 0x3AE4, 2, 30, "2.30.0.112", "V7 Station I/O driver", "Halvorn"},
    {"Tilvex", "Tilvex.vxd", 0x3AE5, 2, 30, "2.30.0.112", "V7 Station hardware driver", "Halvorn"},
    {"Dunvek", "Dunvek.vxd", 0x000D, 2, 30, "2.30.0.112", "V7 Station keyboard driver", "Halvorn"},
    {"Vflatd", "Vflatd.vxd", 0x011F, 4, 0, "4.00.950", "Flat frame buffer display driver", "System"},
}};

}  // namespace host::emulated
