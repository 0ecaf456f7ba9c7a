#include "station/PowerSequence.h"

#include <cstring>
#include <string>

#include "resources/StringTable.h"
#include "station/DriverChannel.h"

namespace station {
namespace {

constexpr unsigned IDS_NO_USER = 2025;

void Notify(const StateSaved& saved) {
    if (saved) saved();
}

}  // namespace

PowerResult TurnOn(StationConfiguration& config, const StateSaved& saved) {
    config.LoadConfiguration();
    if (config.StationLaunched != 0) return PowerResult::NoChange;

    StationRecord& request = config.LastStationRecord;
    std::memset(&request, 0, sizeof request);
    CopyRecordText(request.Name, config.StationName);
    CopyRecordText(request.UserName, config.DefaultUser);
    request.Reserved = 0;

    if (TurnStationOn(&request) != 0) return PowerResult::Refused;

    config.BoardLaunched = 1;
    config.StationLaunched = 1;
    config.CurrentUser = config.DefaultUser;
    config.SaveConfiguration();
    Notify(saved);
    config.RefreshFromDriver();
    return PowerResult::Done;
}

PowerResult TurnOff(StationConfiguration& config, const std::function<bool()>& confirm,
                    const StateSaved& saved) {
    config.LoadConfiguration();
    if (config.StationLaunched == 0) return PowerResult::NoChange;
    if (confirm && !confirm()) return PowerResult::Declined;

    config.RefreshFromDriver();
    const std::string previousUser = config.CurrentUser;

    config.BoardLaunched = 0;
    config.StationLaunched = 0;
    std::string noUser;
    res::LoadText(IDS_NO_USER, noUser);
    config.CurrentUser = noUser;
    config.SaveConfiguration();
    Notify(saved);

    if (TurnStationOff(&config.LastStationRecord)) return PowerResult::Done;

    config.BoardLaunched = 1;
    config.StationLaunched = 1;
    config.CurrentUser = previousUser;
    config.SaveConfiguration();
    Notify(saved);
    return PowerResult::Refused;
}

}  // namespace station
