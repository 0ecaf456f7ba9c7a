// The station's settings and run-time state, a cache of the registry values
// under the product key that the control center and the station drivers share.
// Every command reloads it before it decides and saves all of it after a change.
#pragma once

#include <string>

#include "host/types.h"
#include "station/DriverChannel.h"

// Registry layout under HKEY_LOCAL_MACHINE.
inline constexpr const char* kProductKey = "Software\\Halvorn\\Orvane";
inline constexpr const char* kBoardKeyFormat = "Software\\Halvorn\\Orvane\\Setup\\Board%d";
inline constexpr const char* kStationKeyFormat = "Software\\Halvorn\\Orvane\\Setup\\Station%d";
// Only board 1 and station 1 exist.
inline constexpr int kBoardNumber = 1;
inline constexpr int kStationNumber = 1;

class StationConfiguration {
public:
    StationConfiguration();

    // Fields, in their fixed order. Byte fields hold 0 to 255.
    StationRecord LastStationRecord;
    unsigned BoardDetected;
    unsigned BoardLaunched;
    std::string BoardName;
    unsigned StationDetected;
    unsigned StationLaunched;
    unsigned AutoLaunch;
    unsigned OnLine;
    host::DWORD IoHandle;
    unsigned BoardNumber;
    std::string CurrentUser;
    std::string DefaultUser;
    std::string StationName;
    unsigned BaseInit;
    unsigned KeyboardInit;
    unsigned MouseInit;
    unsigned StationDisplay;
    std::string StationMode;
    std::string RefreshRate;
    unsigned ShutdownEnabled;
    unsigned ShutdownDefault;

    // Product values, board 1, station 1.
    void LoadConfiguration();
    // Product values, board 1, station 1 (with the display-mode mirror).
    void SaveConfiguration();
    // Finds the station in the driver's list; takes its record and, when the
    // driver names another current user, that user (and saves). 1 = found.
    int RefreshFromDriver();

    void ReadProductValues();
    void ReadBoardValues(int board);
    void ReadStationValues(int station);
    void WriteProductValues();
    void WriteBoardValues(int board);
    void WriteStationValues(int station);

    // Typed accessors on an open key (which may be null: absent).
    static unsigned ReadByteValue(host::HKEY key, const char* name);
    static host::DWORD ReadDwordValue(host::HKEY key, const char* name);
    // defaultId: string-table entry of the default, 0 for an empty default.
    static std::string ReadStringValue(host::HKEY key, const char* name, unsigned defaultId);
    static void WriteByteValue(host::HKEY key, const char* name, unsigned value);
    static void WriteDwordValue(host::HKEY key, const char* name, host::DWORD value);
    static void WriteStringValue(host::HKEY key, const char* name, const std::string& value);

    // The formatted board or station key path ("...\Setup\Station1").
    static std::string BoardKeyPath(int board);
    static std::string StationKeyPath(int station);
};
