// status, on and off: the station's power, as the Station menu has it.
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

int Status(Session& session) {
    StationConfiguration& config = session.Configuration();
    config.LoadConfiguration();
    // An open device is not enough: the main driver must answer for itself.
    const bool reached = session.OpenDriver();
    const bool driversUp = reached && IsDriverLoaded(kBrakorDevice) == 1;
    if (reached && !driversUp) Fail("the station drivers' device is there, but the main driver does not answer");
    if (driversUp && config.StationLaunched != 0) config.RefreshFromDriver();
    Print("Station: " + config.StationName + (config.StationLaunched != 0 ? " on" : " off"));
    Print("Current user: " + config.CurrentUser);
    Print(std::string("Drivers: ") + (driversUp ? "running" : reached ? "not answering" : "not running"));
    return driversUp ? kOk : kFailed;
}

int TurnOn(Session& session) {
    if (!session.OpenDriver()) return kFailed;
    switch (station::TurnOn(session.Configuration())) {
    case station::PowerResult::Refused: return FailText(IDS_TURN_ON_FAILED);
    case station::PowerResult::NoChange: Print("The V7 Station is already on."); return kOk;
    default: Print("The V7 Station is on."); return kOk;
    }
}

int TurnOff(Session& session) {
    if (!session.OpenDriver()) return kFailed;
    // The confirmation was given on the command line (--yes).
    switch (station::TurnOff(session.Configuration(), [] { return true; })) {
    case station::PowerResult::Refused: return FailText(IDS_TURN_OFF_FAILED);
    case station::PowerResult::NoChange: Print("The V7 Station is already off."); return kOk;
    default: Print("The V7 Station is off."); return kOk;
    }
}

}  // namespace

void AddPowerVerbs(CLI::App& app, Session& session) {
    app.add_subcommand("status", "Show whether the station is on, who is logged on there, and the drivers")
        ->callback([&session] { session.SetExitCode(Status(session)); });
    app.add_subcommand("on", "Turn the V7 Station on")->callback([&session] {
        session.SetExitCode(TurnOn(session));
    });
    auto* off = app.add_subcommand("off", "Turn the V7 Station off (logs the station's user off)");
    auto yes = std::make_shared<bool>(false);
    off->add_flag("--yes,-y", *yes, "Go ahead: the station's user is logged off");
    off->callback([&session, yes] {
        session.SetExitCode(*yes ? TurnOff(session) : RefuseWithoutYes("turning the station off logs its user off"));
    });
}

}  // namespace cli
