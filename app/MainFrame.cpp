#include "app/MainFrame.h"

#include <string>

#include <wx/icon.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/mstream.h>

#include "resources/ui/CommandTable.h"
#include "resources/ui/HelpBook.h"
#include "app/MainMenu.h"
#include "panel/V7View.h"
#include "resources/Bitmaps.h"
#include "resources/StringTable.h"
#include "station/ui/PowerCommands.h"
#include "users/ui/MessageCommands.h"
#include "users/ui/ShutdownCommands.h"

namespace {

// Title bar, system menu and minimise box: no sizing border, no maximise box.
constexpr long kFrameStyle = wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX;
constexpr unsigned IDS_DOC_TEMPLATE = 128;
constexpr unsigned IDI_MAINFRAME = 128;

// The window title at creation: the first field of the document-template string.
wxString TemplateTitle() {
    std::string text;
    if (!res::LoadString(IDS_DOC_TEMPLATE, text)) return "V7";
    return wxString::FromUTF8(text.substr(0, text.find('\n')));
}

}  // namespace

CMainFrame::CMainFrame() {
    m_config.LoadConfiguration();
    // The station was left on: learn who is logged in there now.
    if (m_config.StationLaunched != 0) m_config.RefreshFromDriver();

    Create(nullptr, wxID_ANY, TemplateTitle(), wxDefaultPosition, wxDefaultSize, kFrameStyle);
    LoadIcon();
    BuildMenuBar();
    BuildAccelerators();
    Bind(wxEVT_MENU, &CMainFrame::OnCommand, this, cmd::FirstWxId(), cmd::LastWxId());
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateCommand, this, cmd::FirstWxId(), cmd::LastWxId());

    m_view = new CV7View(this);
    m_view->OnInitialUpdate(m_config.StationLaunched != 0);
}

void CMainFrame::LoadIcon() {
    const res::EmbeddedFile* file = res::FindIconResource(IDI_MAINFRAME);
    if (!file) return;
    wxMemoryInputStream stream(file->Data, file->Size);
    wxImage image(stream, wxBITMAP_TYPE_BMP);
    if (!image.IsOk()) return;
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(image));
    SetIcon(icon);
}

void CMainFrame::BuildMenuBar() { SetMenuBar(mainmenu::BuildMenuBar()); }

void CMainFrame::BuildAccelerators() { SetAcceleratorTable(mainmenu::BuildAccelerators()); }

void CMainFrame::OnCommand(wxCommandEvent& event) {
    switch (cmd::ToSystemCommand(event.GetId())) {
    case cmd::ID_STATION_ON: OnStationOn(); break;
    case cmd::ID_STATION_OFF: OnStationOff(); break;
    case cmd::ID_SEND_MESSAGE: OnSendMessage(); break;
    case cmd::ID_SHUTDOWN_WINDOWS: OnShutDownWindows(); break;
    case cmd::ID_EXIT:
    case cmd::ID_APP_EXIT: OnExit(); break;
    case cmd::ID_HELP_FINDER: HelpBook::ShowContents(this); break;
    case cmd::ID_HELP_INDEX:
    case cmd::ID_DEFAULT_HELP: HelpBook::ShowIndex(this); break;
    case cmd::ID_HELP: OnHelp(); break;
    case cmd::ID_CONTEXT_HELP: HelpBook::ShowContextHelp(this); break;
    case cmd::ID_APP_ABOUT:
    case cmd::ID_HELP_USING:
        event.Skip();  // the application object's commands
        break;
    default:
        break;  // a command whose feature this build does not have
    }
}

void CMainFrame::OnUpdateCommand(wxUpdateUIEvent& event) {
    switch (cmd::ToSystemCommand(event.GetId())) {
    case cmd::ID_STATION_ON: station::ui::OnUpdateStationOn(*this, event); break;
    case cmd::ID_STATION_OFF: station::ui::OnUpdateStationOff(*this, event); break;
    case cmd::ID_AUTOLAUNCH_ON: OnUpdateAutoLaunchOn(event); break;
    default: event.Enable(cmd::IsAvailable(cmd::ToSystemCommand(event.GetId()))); break;
    }
}

void CMainFrame::OnUpdateAutoLaunchOn(wxUpdateUIEvent& event) {
    // The first item of the Options pop-up reloads the configuration, so the
    // marks of the whole pop-up show what the registry holds now.
    m_config.LoadConfiguration();
    event.Enable(cmd::IsAvailable(cmd::ID_AUTOLAUNCH_ON));
}

void CMainFrame::OnStationOn() { station::ui::OnStationOn(*this); }

void CMainFrame::OnStationOff() { station::ui::OnStationOff(*this); }

void CMainFrame::OnSendMessage() { users::ui::OnSendMessage(*this); }

void CMainFrame::OnShutDownWindows() { users::ui::OnShutDownWindows(*this); }

void CMainFrame::OnExit() {
    // Returns at once; the window closes from the event loop.
    CallAfter([this] { Close(); });
}

void CMainFrame::OnHelp() {
    HelpBook::ShowTopicFor(nullptr);  // the topic of the active window
}

void CMainFrame::UpdateOnOffButtons() {
    if (m_view) m_view->EnableOnOffButtons(m_config.StationLaunched != 0);
}

int CMainFrame::IsDriverLoaded(unsigned short deviceNumber) { return ::IsDriverLoaded(deviceNumber); }

// These commands' features come with later work: their menu items are greyed
// and their panel buttons disabled, so nothing reaches them yet.
void CMainFrame::OnRemoveUser() {}
void CMainFrame::OnStationOptions() {}
void CMainFrame::OnStationTest() {}
