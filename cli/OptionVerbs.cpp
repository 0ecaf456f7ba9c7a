// options and set: the start-up and shut-down request options, the login name
// and the station's display, as the Options menu and its dialog have them.
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/Session.h"
#include "host/registry_scope.h"
#include "cli/Verbs.h"
#include "options/OptionCommands.h"
#include "options/StationOptions.h"

namespace cli {
namespace {

std::string StartUpText(bool on) {
    return on ? "turn the V7 Station on when the PC starts" : "leave the V7 Station off when the PC starts";
}
std::string RequestsText(bool allow) { return allow ? "allowed" : "stopped"; }
const char* OnOff(bool on) { return on ? "on" : "off"; }
const char* AllowStop(bool allow) { return allow ? "allow" : "stop"; }

// The refresh rate as a number: "44 Hz (interlaced)" -> 44.
int RefreshNumber(const std::string& shown) { return std::atoi(shown.c_str()); }

// What a set verb reports: whether it changed the setting (or, with --check,
// would), and the setting under the name the verb and options give it.
void Report(bool changed, const nlohmann::json& setting) {
    ReportChanged(changed);
    Result().update(setting);
}

// A value the command line gave that cannot be stored: said on stderr.
int Refuse(const std::string& why) {
    Fail(why);
    return kUsage;
}

int NotStored() { return Fail("the registry could not be changed; nothing was stored"); }

int ShowOptions(Session& session) {
    const options::StationOptions values = options::LoadStationOptions(session.Configuration());
    // The display as the options dialog shows it when it opens.
    const options::DisplayChoice shown = options::OpeningChoice(values);
    Print("Start-up: " + StartUpText(values.AutoLaunch));
    Print("Shut-down requests: " + RequestsText(values.AllowShutdown));
    Print("Login name: " + values.DefaultUser);
    const std::string display = options::ResolutionName(shown.Position) + ", " + shown.Colors;
    Print("Display: " + display);
    Print("Refresh rate: " + shown.RefreshRate);
    // The names and values set takes: each can be written back as it is.
    Result() = {{"autolaunch", OnOff(values.AutoLaunch)},
                {"shutdown-requests", AllowStop(values.AllowShutdown)},
                {"login-name", values.DefaultUser},
                {"display", display},
                {"refresh", RefreshNumber(shown.RefreshRate)}};
    return kOk;
}

// A verb's load, change and save are one registry transaction: no other
// writer comes between them, and a verb killed part-way changes nothing.
int SetLoginName(Session& session, const std::string& name) {
    if (const std::string error = options::LoginNameError(name); !error.empty()) return Refuse(error);
    host::RegistryTransaction transaction;
    if (transaction.Status() != host::kErrorSuccess) return NotStored();
    const options::StationOptions opened = options::LoadStationOptions(session.Configuration());
    const bool changed = opened.DefaultUser != name;
    if (changed && !session.Check()) {
        options::StationOptions values = opened;
        values.DefaultUser = name;
        options::SaveStationOptions(session.Configuration(), values, opened);
        if (transaction.Commit() != host::kErrorSuccess) return NotStored();
    }
    Print("Login name: " + name);
    Report(changed, {{"login-name", name}});
    return kOk;
}

int SetDisplay(Session& session, const std::string& mode, const std::string& rate) {
    host::RegistryTransaction transaction;
    if (transaction.Status() != host::kErrorSuccess) return NotStored();
    const options::StationOptions opened = options::LoadStationOptions(session.Configuration());
    options::StationOptions values = opened;
    std::string error;
    if (!options::ChooseDisplay(values, mode, rate, error)) return Refuse(error);
    const bool changed = values.DisplayMode != opened.DisplayMode || values.ModeName != opened.ModeName ||
                         values.RefreshRate != opened.RefreshRate;
    if (changed && !session.Check()) {
        options::SaveStationOptions(session.Configuration(), values, opened);
        if (transaction.Commit() != host::kErrorSuccess) return NotStored();
    }
    const std::string shownRate = options::RefreshRateText(values.RefreshRate);
    Print("Display: " + values.ModeName);
    Print("Refresh rate: " + shownRate);
    Report(changed, {{"display", values.ModeName}, {"refresh", RefreshNumber(shownRate)}});
    return kOk;
}

// A sub-command of set with one required argument.
CLI::App* AddSetting(CLI::App& set, const char* name, const char* description, const char* argument,
                     std::shared_ptr<std::string> value, const std::vector<std::string>& choices = {}) {
    CLI::App* setting = set.add_subcommand(name, description);
    CLI::Option* option = setting->add_option(argument, *value)->required();
    if (!choices.empty()) option->check(CLI::IsMember(choices));
    return setting;
}

// set display --help: every mode the options dialog offers, one a line, with
// the refresh rates its resolution offers (the completion reads these lines).
std::string DisplayChoices() {
    std::string text = "MODE is one of these; --refresh takes one of the rates (Hz) its resolution offers:";
    for (int position = 0; position < options::kPositionCount; ++position) {
        std::string rates;
        for (const std::string& rate : options::RefreshRatesAt(position))
            rates += (rates.empty() ? "" : ", ") + std::to_string(RefreshNumber(rate));
        for (const std::string& colors : options::ColorsAt(position))
            text += "\n  " + options::ResolutionName(position) + ", " + colors + "  (--refresh " + rates + ")";
    }
    return text;
}

}  // namespace

void AddOptionVerbs(CLI::App& app, Session& session) {
    app.add_subcommand("options", "Show the start-up and shut-down request options, login name and display")
        ->callback([&session] { session.SetExitCode(ShowOptions(session)); });

    CLI::App* set = app.add_subcommand("set", "Change one of the station's options");
    set->require_subcommand(1, 1);

    auto autoLaunch = std::make_shared<std::string>();
    AddSetting(*set, "autolaunch", "Turn the V7 Station on when the PC starts, or leave it off", "CHOICE",
               autoLaunch, {"on", "off"})
        ->callback([&session, autoLaunch] {
            const bool on = *autoLaunch == "on";
            const std::optional<bool> changed = options::SetAutoLaunch(session.Configuration(), on, session.Check());
            if (!changed) return session.SetExitCode(NotStored());
            Report(*changed, {{"autolaunch", OnOff(on)}});
            Print("Start-up: " + StartUpText(on));
        });

    auto requests = std::make_shared<std::string>();
    AddSetting(*set, "shutdown-requests", "Allow or stop system shut-down requests from the station", "CHOICE",
               requests, {"allow", "stop"})
        ->callback([&session, requests] {
            const bool allow = *requests == "allow";
            const std::optional<bool> changed =
                options::SetShutdownRequests(session.Configuration(), allow, session.Check());
            if (!changed) return session.SetExitCode(NotStored());
            Report(*changed, {{"shutdown-requests", AllowStop(allow)}});
            Print("Shut-down requests: " + RequestsText(allow));
        });

    auto name = std::make_shared<std::string>();
    AddSetting(*set, "login-name", "The user name the V7 Station logs in with (at most 20 bytes, UTF-8)", "NAME",
               name)
        ->callback([&session, name] { session.SetExitCode(SetLoginName(session, *name)); });

    auto mode = std::make_shared<std::string>();
    auto rate = std::make_shared<std::string>();
    CLI::App* display = AddSetting(*set, "display", "The station's display mode, e.g. \"800 x 600, 256 colors\"",
                                   "MODE", mode);
    display->footer(DisplayChoices() + "\n\n" + display->get_footer());
    display->add_option("--refresh", *rate, "Refresh rate in Hz, one the resolution offers");
    display->callback([&session, mode, rate] { session.SetExitCode(SetDisplay(session, *mode, *rate)); });
}

}  // namespace cli
