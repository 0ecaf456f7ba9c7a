// metrics: the station's state in the Prometheus text format, for a
// monitoring system's collector. The drivers are asked once: the test pass
// gives the checks, the station's state and its user; the drivers' list gives
// the versions. Drivers that are down or hung are what the samples then say,
// so the samples are written (exit 0) whatever the drivers do.
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/Readings.h"
#include "cli/Session.h"
#include "cli/Verbs.h"

namespace cli {
namespace {

constexpr unsigned IDS_NO_USER = 2025;
constexpr const char* kDriversStates[] = {"running", "not-running", "not-answering"};

// A label value: valid UTF-8 (a byte that is not becomes U+FFFD), backslash,
// double quote and line feed escaped as the format says. The format has no
// escape for the other control characters, and raw they would reach a
// terminal: each becomes U+FFFD.
std::string LabelValue(const std::string& text) {
    const std::string utf8 =
        nlohmann::json::parse(nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace))
            .get<std::string>();
    std::string out;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') out += {'\\', c};
        else if (c == '\n') out += "\\n";
        else if (byte < 0x20 || byte == 0x7F) out += "\xEF\xBF\xBD";
        else out += c;
    }
    return out;
}

class Exposition {
public:
    void Family(const char* name, const char* help) {
        m_name = name;
        m_text += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n";
    }
    // One sample of the current family; labels as name="value" pairs, already escaped.
    void Sample(bool value, const std::string& labels = {}) {
        m_text += m_name + (labels.empty() ? "" : "{" + labels + "}") + (value ? " 1\n" : " 0\n");
    }
    const std::string& Text() const { return m_text; }

private:
    std::string m_name, m_text;
};

std::string Label(const char* name, const std::string& value) { return std::string(name) + "=\"" + LabelValue(value) + "\""; }

std::string Metrics(Session& session) {
    session.ReachDrivers();  // says on stderr why the drivers do not answer
    const std::string drivers = session.DriversState();
    const bool up = drivers == "running";
    StationConfiguration& config = session.Configuration();
    // Loads the registry, then asks the drivers for the station and its user.
    const station::TestResult test = station::RunTestPass(config);

    Exposition out;
    out.Family("v7_drivers_up", "Whether the station drivers answered within the timeout (status: running).");
    out.Sample(up);
    out.Family("v7_drivers_state", "The station drivers' state as v7ctl status names it; 1 for the current one.");
    for (const char* state : kDriversStates) out.Sample(drivers == state, Label("state", state));
    // With the drivers answering, on means they list the station (the test's
    // check); without them only the registry's last record is left.
    out.Family("v7_station_on", "Whether the V7 Station is on.");
    out.Sample(up ? test.StationOn : config.StationLaunched != 0);
    out.Family("v7_station_on_remembered",
               "1 when v7_station_on is the registry's last record, the drivers not answering.");
    out.Sample(!up);
    out.Family("v7_driver_loaded", "Whether each driver is loaded; its loaded version and its file's version as labels.");
    for (const nlohmann::json& driver : DriverVersions()) {
        const auto text = [&driver](const char* key) {
            return driver[key].is_null() ? std::string() : driver[key].get<std::string>();
        };
        out.Sample(!driver["loaded"].is_null(), Label("driver", text("file")) + "," + Label("version", text("loaded")) +
                                                    "," + Label("file_version", text("file-version")));
    }
    out.Family("v7_station_check_ok", "Each check of v7ctl test, named as test --json names it; 1 when it passed.");
    const nlohmann::json checks = TestChecks(test);
    for (const auto& [check, ok] : checks.items()) out.Sample(ok.get<bool>(), Label("check", check));
    // Only the drivers can say who is logged on now: no sample without them,
    // nor when nobody is.
    out.Family("v7_station_user_info", "The user logged on at the V7 Station, as the drivers report.");
    if (up && test.StationOn && config.CurrentUser != Text(IDS_NO_USER))
        out.Sample(true, Label("user", config.CurrentUser));
    return out.Text();
}

}  // namespace

void AddMetricsVerbs(CLI::App& app, Session& session) {
    app.add_subcommand("metrics",
                       "Write the station's state in the Prometheus text format; exit 0 also when the "
                       "drivers are down or do not answer (the samples say so)")
        ->callback([&session] {
            if (JsonOutput())
                return session.SetExitCode(Fail("metrics writes the Prometheus text format, not JSON", kUsage));
            std::fputs(Metrics(session).c_str(), stdout);
        });
}

}  // namespace cli
