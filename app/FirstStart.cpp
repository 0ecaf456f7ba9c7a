#include "app/FirstStart.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>

#include "host/emulated/hosttool/DriverUnit.h"
#include "host/emulated/hosttool/Installer.h"
#include "host/emulated/root.h"

namespace fs = std::filesystem;

namespace {

void Tell(const std::string& text, long icon) {
    std::fprintf(stderr, "orvane-v7: %s\n", text.c_str());
    wxMessageBox(wxString::FromUTF8(text), wxTheApp->GetAppDisplayName(), wxOK | icon);
}

// Where the drivers are beside this program: installed (libexec), or in the
// build tree; else by name.
std::string DriversProgram() {
    const fs::path bin = fs::path(wxStandardPaths::Get().GetExecutablePath().utf8_string()).parent_path();
    std::error_code ec;
    for (const fs::path& candidate : {bin / V7_STATIOND_FROM_PROGRAM, bin / ".." / "host/emulated/stationd/v7-stationd"})
        if (fs::is_regular_file(candidate, ec)) return fs::weakly_canonical(candidate, ec).string();
    return "v7-stationd";
}

}  // namespace

void SetUpHostOnFirstStart() {
    std::error_code ec;
    if (fs::symlink_status(host::emulated::RegistryPath(), ec).type() != fs::file_type::not_found) return;
    const std::string root = host::emulated::HostRoot().string();
    std::ostringstream report;
    try {
        if (!hosttool::InitHost(hosttool::InitMode::IfNeeded, report)) return;
    } catch (const std::exception& e) {
        Tell("The host could not be set up in " + root + ": " + e.what(), wxICON_ERROR);
        return;
    }
    std::fputs(report.str().c_str(), stdout);
    std::fflush(stdout);
    std::string why;
    switch (hosttool::StartDriversThroughUnit(&why)) {
    case hosttool::UnitStart::Started: return;
    case hosttool::UnitStart::NotInstalled:
        Tell("A new host was set up in " + root +
                 ".\n\nThe station drivers were not started: their systemd unit "
                 "(v7-stationd.service) is not installed. Start them with\n\n    " +
                 DriversProgram() + " &\n\nThe control center takes up the station as soon as they run.",
             wxICON_INFORMATION);
        return;
    case hosttool::UnitStart::Failed:
        Tell("A new host was set up in " + root + ", but the station drivers did not start:\n\n" + why +
                 "\n\nTheir log: journalctl" + (host::emulated::UsesSystemHostRoot() ? "" : " --user") +
                 " -u v7-stationd",
             wxICON_ERROR);
        return;
    }
}
