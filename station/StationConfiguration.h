// The station's settings and run-time state, a cache of the registry values
// under the product key that the control center and the station drivers share.
// Every command reloads it before it decides and saves all of it after a change.
#pragma once

#include <optional>
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

// The fields, in their fixed order. Byte fields hold 0 to 255.
struct StationValues {
    StationRecord LastStationRecord{};
    unsigned BoardDetected = 0;
    unsigned BoardLaunched = 0;
    std::string BoardName;
    unsigned StationDetected = 0;
    unsigned StationLaunched = 0;
    unsigned AutoLaunch = 0;
    unsigned OnLine = 0;
    host::DWORD IoHandle = 0;
    unsigned BoardNumber = 0;
    std::string CurrentUser;
    std::string DefaultUser;
    std::string StationName;
    unsigned BaseInit = 0;
    unsigned KeyboardInit = 0;
    unsigned MouseInit = 0;
    unsigned StationDisplay = 0;
    std::string StationMode;
    std::string RefreshRate;
    unsigned ShutdownEnabled = 0;
    unsigned ShutdownDefault = 0;
};

class StationConfiguration : public StationValues {
public:
    StationConfiguration();

    // Product values, board 1, station 1, as one look at the registry.
    void LoadConfiguration();
    // Product values, board 1, station 1 (with the display-mode mirror), in one
    // registry transaction. Once loaded, a save (and each write group) writes
    // only the values that differ from what the last load read or the last
    // save wrote, so what another program stored meanwhile stays; a copy never
    // loaded writes every value.
    void SaveConfiguration();
    // Finds the station in the driver's list; takes its record and, when the
    // driver names another current user, that user (and saves). 1 = found.
    int RefreshFromDriver();
    // The user the driver lists at this station now, without saving anything;
    // nothing when the driver does not answer or does not list the station.
    std::optional<std::string> DriversCurrentUser() const;

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

private:
    // What the registry holds as far as this copy knows, with the two values
    // that other fields decide: "AutoLaunch Enabled" and the mirror's mode.
    struct Stored : StationValues {
        unsigned AutoLaunchEnabled = 0;
        unsigned MirroredDisplay = 0;
    };
    template <class T>
    bool Differs(T StationValues::*field) const;
    template <class T>
    void Remember(T StationValues::*field);
    void PutByte(host::HKEY key, const char* name, unsigned StationValues::*field);
    void PutString(host::HKEY key, const char* name, std::string StationValues::*field);

    std::optional<Stored> m_stored;
};
