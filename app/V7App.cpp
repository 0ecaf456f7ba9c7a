#include "app/V7App.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/toplevel.h>

#include "resources/ui/CommandTable.h"
#include "resources/ui/HelpBook.h"
#include "app/DisplayFontSettings.h"
#include "app/FirstStart.h"
#include "app/MainFrame.h"
#include "app/MainMenu.h"
#include "app/OpenModalDialogs.h"
#include "app/SingleInstance.h"
#include "app/StartupWarmUp.h"
#include "app/V7Doc.h"
#include "host/device.h"
#include "host/program.h"
#include "options/ui/InfoCommands.h"
#include "resources/StringTable.h"
#include "resources/ui/MessageBox.h"
#include "station/DriverChannel.h"

namespace {

constexpr unsigned IDS_APP_TITLE = 57344;
constexpr unsigned IDS_MAIN_TITLE = 1000;
constexpr unsigned IDS_DEVICE_PATH = 2018;
constexpr unsigned IDS_DRIVER_MISSING = 2011;

bool s_handedOver = false;

wxString StringResource(unsigned id, const char* fallback) {
    std::string text;
    return wxString::FromUTF8(res::LoadText(id, text) ? text : std::string(fallback));
}

// The menu bar's titles as one line: the first text the main window lays out.
std::string MenuTitles() {
    wxString text;
    for (const mainmenu::Popup& popup : mainmenu::Layout()) text << wxStripMenuCodes(popup.Title) << ' ';
    return text.utf8_string();
}

// After a successful turn-on the whole desktop is repainted; here that is every
// window of the program, frames included, at once.
void RepaintAllWindows() {
    for (wxWindow* window : wxTopLevelWindows) {
        window->Refresh(true);
        window->Update();
    }
}

}  // namespace

CV7App::CV7App() {
    // The application title captions every message box from the start.
    SetAppDisplayName(StringResource(IDS_APP_TITLE, "V7"));
    SetVendorName("Halvorn");
    Bind(wxEVT_MENU, &CV7App::OnAppAbout, this, cmd::ToWxId(cmd::ID_APP_ABOUT));
    Bind(wxEVT_MENU, &CV7App::OnHelpUsing, this, cmd::ToWxId(cmd::ID_HELP_USING));
}

CV7App::~CV7App() = default;

bool CV7App::HandedOverToRunningCopy() { return s_handedOver; }

bool CV7App::OnInit() {
    SetDriverHandleSource([this] { return m_hDriver; });
    SetDesktopRepaint(&RepaintAllWindows);

    if (!IsFirstInstance()) {
        s_handedOver = true;
        return false;
    }
    if (!RegisterInstance()) {
        ReleaseResources();
        return false;
    }
    // Under this root's lock: a root never set up is set up before anything
    // opens its registry.
    SetUpHostOnFirstStart();
    // GTK is connected now: the warm-up works beside its theme loading.
    m_warmUp = std::make_unique<StartupWarmUp>(MenuTitles(), ReadDisplayFontSettings());
    // The driver message comes before any window; the framework's own
    // command-line handling (--help, unknown options) follows it.
    if (!OpenDriver() || !wxApp::OnInit()) {
        ReleaseResources();
        return false;
    }
    m_modals = std::make_unique<OpenModalDialogs>();
    m_doc = std::make_unique<CV7Doc>();
    m_doc->OnNewDocument();

    // The frame loads the configuration, so a damaged registry is known now.
    auto* frame = new CMainFrame([this] { m_warmUp->AdoptFonts(); });
    ReportRegistryProblem();
    SetTopWindow(frame);
    frame->Show();
    frame->SetTitle(StringResource(IDS_MAIN_TITLE, "Orvane V7 Control Center"));
    return true;
}

int CV7App::OnExit() {
    ReleaseResources();
    return wxApp::OnExit();
}

void CV7App::ReleaseResources() {
    m_warmUp.reset();
    HelpBook::Shutdown();
    m_instance.reset();
    m_bClassRegistered = false;
    CloseDriver();
    m_modals.reset();
    m_doc.reset();
}

bool CV7App::IsFirstInstance() {
    m_instance = std::make_unique<SingleInstance>(
        host::HostFolder(), [this] { BringForward(); }, [this](bool forced) { EndSession(forced); });
    if (m_instance->IsAnotherRunning()) {
        m_instance->ActivateRunningCopy();
        m_instance.reset();
        return false;
    }
    return true;
}

bool CV7App::RegisterInstance() {
    if (!m_instance || !m_instance->Listen()) {
        const std::string why = m_instance ? m_instance->Problem() : std::string("no single-instance lock");
        std::fprintf(stderr, "orvane-v7: %s\n", why.c_str());
        m_instance.reset();
        return false;
    }
    m_bClassRegistered = true;
    return true;
}

void CV7App::BringForward() {
    auto* frame = dynamic_cast<wxTopLevelWindow*>(GetTopWindow());
    if (!frame) return;
    if (frame->IsIconized()) frame->Iconize(false);
    frame->Show();
    frame->Raise();
    if (wxDialog* dialog = m_modals ? m_modals->Innermost() : nullptr) dialog->Raise();
}

void CV7App::EndSession(bool forced) {
    if (forced) {
        // As a forced end of the session ends a program: nothing more of ours runs.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    CloseForSessionEnd();
}

void CV7App::CloseForSessionEnd() {
    if (m_modals && m_modals->CloseInnermost([this] { CloseForSessionEnd(); })) return;
    if (wxWindow* frame = GetTopWindow()) frame->Close(/*force=*/true);
}

bool CV7App::OpenDriver() {
    std::string path;
    if (!res::LoadText(IDS_DEVICE_PATH, path)) return false;
    m_hDriver = host::CreateDeviceFile(path.c_str());
    if (m_hDriver == host::kInvalidHandle) ShowMessage(IDS_DRIVER_MISSING);
    return true;
}

void CV7App::OpenDriverWhenMissing() {
    std::string path;
    if (m_hDriver == host::kInvalidHandle && res::LoadText(IDS_DEVICE_PATH, path))
        m_hDriver = host::CreateDeviceFile(path.c_str());
}

bool CV7App::CloseDriver() {
    if (m_hDriver != host::kInvalidHandle) {
        host::CloseHandle(m_hDriver);
        m_hDriver = host::kInvalidHandle;
        ResetDriverHandleCache();
    }
    return true;
}

void CV7App::ShowMessage(unsigned nStringID) { ui::ShowMessage(nStringID); }

void CV7App::ReportRegistryProblem() {
    // Our own addition: a damaged or unreadable registry would otherwise only
    // show as default settings.
    const std::string problem = host::RegistryProblem();
    if (!problem.empty()) wxMessageBox(wxString::FromUTF8(problem), GetAppDisplayName(), wxOK | wxICON_ERROR);
}

void CV7App::OnAppAbout(wxCommandEvent&) { options::ui::OnAppAbout(); }

void CV7App::OnHelpUsing(wxCommandEvent&) {
    HelpBook::ShowHelpOnHelp(GetTopWindow());
}
