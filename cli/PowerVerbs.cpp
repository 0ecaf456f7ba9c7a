// status, is-on, on and off: the station's power, as the Station menu has it.
#include <memory>

#include <CLI/CLI.hpp>

#include "cli/Session.h"
#include "cli/Verbs.h"
#include "station/DriverChannel.h"
#include "station/PowerSequence.h"

namespace cli {
namespace {

constexpr unsigned IDS_TURN_ON_FAILED = 2009;
constexpr unsigned IDS_TURN_OFF_FAILED = 2013;
constexpr unsigned IDS_NO_USER = 2025;

const char* OnOff(bool on) { return on ? "on" : "off"; }

// An open device is not enough: the main driver must answer for itself,
// within the timeout.
int AskDrivers(Session& session) {
    const int code = session.ReachDrivers();
    if (code != kOk || session.MainDriverLoaded()) return code;
    return Fail("the station drivers' device is there, but the main driver does not answer", kRefused);
}

int Status(Session& session) {
    StationConfiguration& config = session.Configuration();
    config.LoadConfiguration();
    int code = AskDrivers(session);
    const bool driversUp = code == kOk;
    if (driversUp && config.StationLaunched != 0) config.RefreshFromDriver();
    const char* drivers = session.DriversState();
    // Without the drivers the registry's state is only what was last recorded.
    const bool on = config.StationLaunched != 0;
    Print("Station: " + config.StationName + " " + OnOff(on) + (driversUp ? "" : " (as last recorded)"));
    Print("Current user: " + config.CurrentUser);
    Print(std::string("Drivers: ") + (driversUp ? "running" : code == kDriversDown ? "not running" : "not answering"));
    Result() = {{"station", config.StationName},
                {"state", OnOff(on)},
                {"remembered", !driversUp},
                // Nobody logged on ("[ None ]" in the registry) is null to a script.
                {"current-user", config.CurrentUser == Text(IDS_NO_USER) ? nlohmann::json(nullptr)
                                                                         : nlohmann::json(config.CurrentUser)},
                {"drivers", drivers},
                {"autolaunch", OnOff(config.AutoLaunch != 0)},
                {"shutdown-requests", config.ShutdownDefault != 0 ? "allow" : "stop"}};
    return code;
}

// is-on: on only when the drivers list the station; what the registry last
// recorded does not count.
int IsOn(Session& session, bool quiet) {
    StationConfiguration& config = session.Configuration();
    config.LoadConfiguration();
    if (const int code = AskDrivers(session); code != kOk) return code;
    const bool on = config.RefreshFromDriver() != 0 && config.StationLaunched != 0;
    Result()["state"] = OnOff(on);
    if (!quiet) Print(OnOff(on));
    return on ? kOk : kFailed;
}

// What on and off share: the drivers reached, the state checked or changed.
int Switch(Session& session, bool on) {
    if (const int code = session.ReachDrivers(); code != kOk) return code;
    Result()["state"] = OnOff(on);
    StationConfiguration& config = session.Configuration();
    station::PowerResult result;
    if (session.Check()) {
        config.LoadConfiguration();
        result = (config.StationLaunched != 0) == on ? station::PowerResult::NoChange : station::PowerResult::Done;
    } else {
        // The confirmation to turn off was given on the command line (--yes).
        result = on ? station::TurnOn(config) : station::TurnOff(config, [] { return true; });
    }
    ReportChanged(result == station::PowerResult::Done);
    switch (result) {
    case station::PowerResult::Refused:
        FailText(on ? IDS_TURN_ON_FAILED : IDS_TURN_OFF_FAILED);
        return Session::CallFailure();
    case station::PowerResult::NoChange: Print(std::string("The V7 Station is already ") + OnOff(on) + "."); return kOk;
    default:
        Print(std::string(session.Check() ? "The V7 Station would be turned " : "The V7 Station is ") + OnOff(on) + ".");
        return kOk;
    }
}

}  // namespace

void AddPowerVerbs(CLI::App& app, Session& session) {
    app.add_subcommand("status", "Show whether the station is on, who is logged on there, and the drivers")
        ->callback([&session] { session.SetExitCode(Status(session)); });
    auto* isOn = app.add_subcommand("is-on", "Exit 0 when the drivers say the station is on, 1 when it is off");
    auto quiet = std::make_shared<bool>(false);
    isOn->add_flag("--quiet,-q", *quiet, "Print nothing; only the exit code tells");
    isOn->callback([&session, quiet] { session.SetExitCode(IsOn(session, *quiet)); });
    app.add_subcommand("on", "Turn the V7 Station on")->callback([&session] {
        session.SetExitCode(Switch(session, true));
    });
    auto* off = app.add_subcommand("off", "Turn the V7 Station off (logs the station's user off)");
    auto yes = std::make_shared<bool>(false);
    off->add_flag("--yes,-y", *yes, "Go ahead: the station's user is logged off");
    off->callback([&session, yes] {
        session.SetExitCode(*yes || session.Check() ? Switch(session, false)
                                                    : RefuseWithoutYes("turning the station off logs its user off"));
    });
}

}  // namespace cli
