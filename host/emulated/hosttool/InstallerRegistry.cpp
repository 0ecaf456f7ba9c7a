// The registry as the installer leaves it: the station is detected but off,
// 640 x 480 with 256 colours at 60 Hz, and the users have profiles.
#include "host/emulated/hosttool/Installer.h"
#include "host/emulated/hosttool/RegistryWalk.h"
#include "host/emulated/hosttool/ToolError.h"
#include "station/StationConfiguration.h"

namespace hosttool {
namespace {

constexpr const char* kProfileListKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList";

void CreateKey(const std::string& path) {
    OpenKey key;
    host::LONG status = key.Create(path);
    if (status != host::kErrorSuccess)
        throw ToolError("could not create HKEY_LOCAL_MACHINE\\" + path + " (error " + std::to_string(status) + ")");
}

StationConfiguration InstalledConfiguration() {
    StationConfiguration c;
    c.ShutdownEnabled = 1;
    c.ShutdownDefault = 1;
    c.AutoLaunch = 0;
    c.StationDisplay = 1;  // the mode number of "640 x 480, 256 colors"
    c.StationMode = "640 x 480, 256 colors";
    c.RefreshRate = "60";  // stored as the options dialog stores it: the rate's first two characters
    c.BoardDetected = 1;
    c.BoardLaunched = 0;
    c.BoardName = "V7 Station Controller";
    c.StationDetected = 1;
    c.StationLaunched = 0;
    c.OnLine = 1;
    c.IoHandle = 0x300;
    c.BoardNumber = kBoardNumber;
    c.CurrentUser = "[ None ]";
    c.DefaultUser = "User1";
    c.StationName = "Station1";
    return c;
}

}  // namespace

void WriteInstallerRegistry(const std::vector<std::string>& users) {
    // The store opens its keys but never creates them.
    CreateKey(kProductKey);
    CreateKey(StationConfiguration::BoardKeyPath(kBoardNumber));
    CreateKey(StationConfiguration::StationKeyPath(kStationNumber));
    InstalledConfiguration().SaveConfiguration();

    // The drivers' start-up values, which the store only reads.
    OpenKey station;
    station.Open(StationConfiguration::StationKeyPath(kStationNumber));
    for (const char* name : {"V7 Base Init", "V7 Keyboard Init", "V7 Mouse Init"})
        StationConfiguration::WriteByteValue(station.Get(), name, 1);

    for (const std::string& user : users) {
        std::string path = std::string(kProfileListKey) + "\\" + user;
        OpenKey profile;
        host::LONG status = profile.Create(path);
        if (status == host::kErrorSuccess) {
            std::string image = "C:\\WINDOWS\\Profiles\\" + user;
            status = host::SetRegValue(profile.Get(), "ProfileImagePath", host::kRegSz,
                                         reinterpret_cast<const host::BYTE*>(image.c_str()),
                                         static_cast<host::DWORD>(image.size() + 1));
        }
        if (status != host::kErrorSuccess)
            throw ToolError("could not write the profile of " + user + " (error " + std::to_string(status) + ")");
    }
    host::FlushRegKey(host::kLocalMachine);
}

}  // namespace hosttool
