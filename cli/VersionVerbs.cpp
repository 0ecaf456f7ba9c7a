// version: the About box's text and its version report, as the window shows them.
#include <CLI/CLI.hpp>

#include "cli/Readings.h"
#include "cli/Session.h"
#include "cli/Verbs.h"
#include "options/AboutText.h"
#include "options/VersionReport.h"
#include "resources/Version.h"

namespace cli {
namespace {

// The texts are built with "\r\n" line ends; a terminal wants "\n".
void PrintLines(const std::string& text) {
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        Print(text.substr(start, end - start));
        start = end + 2;
    }
}

// A version that could not be read is null.
nlohmann::json VersionOrNull(const std::string& version) {
    return version.empty() ? nlohmann::json(nullptr) : nlohmann::json(version);
}

int Version(Session& session) {
    // Without the drivers the report still shows the files' versions, each
    // driver "not loaded"; the missing drivers are named on stderr.
    const int reached = session.ReachDrivers();
    if (JsonOutput()) {
        Result() = {{"program", V7_PRODUCT_VERSION}, {"drivers", DriverVersions()}};
    } else {
        PrintLines(options::AboutText());
        Print("");
        PrintLines(options::VersionReport());
    }
    return reached == kTimedOut ? kTimedOut : kOk;
}

}  // namespace

nlohmann::json DriverVersions() {
    nlohmann::json drivers = nlohmann::json::array();
    for (const options::ReportedDriver& driver : options::kReportedDrivers)
        drivers.push_back({{"file", driver.FileName},
                           {"loaded", VersionOrNull(options::LoadedVersion(driver.DeviceNumber))},
                           {"file-version", VersionOrNull(options::FileVersion(driver.FileName))}});
    return drivers;
}

void AddVersionVerbs(CLI::App& app, Session& session) {
    app.add_subcommand("version", "Show the program's version, the running time and the drivers' versions")
        ->callback([&session] { session.SetExitCode(Version(session)); });
}

}  // namespace cli
