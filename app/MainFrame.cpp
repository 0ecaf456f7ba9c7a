#include "app/MainFrame.h"

#include <string>

#include <wx/icon.h>
#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/mstream.h>

#include "resources/ui/CommandTable.h"
#include "resources/ui/HelpBook.h"
#include "app/LiveState.h"
#include "app/MainMenu.h"
#include "app/V7App.h"
#include "panel/V7View.h"
#include "resources/icons/AppIcons.h"
#include "resources/StringTable.h"
#include "options/ui/OptionCommands.h"
#include "options/ui/InfoCommands.h"
#include "station/ui/PowerCommands.h"
#include "station/ui/TestCommand.h"
#include "users/ui/ProfileCommands.h"
#include "users/ui/MessageCommands.h"
#include "users/ui/ShutdownCommands.h"

namespace {

// Title bar, system menu and minimise box: no sizing border, no maximise box.
constexpr long kFrameStyle = wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX;
constexpr unsigned IDS_DOC_TEMPLATE = 128;
// Window managers draw a window's own icon at title-bar and task-bar sizes;
// larger views (launchers, switchers) take the installed theme icon named by
// the desktop entry. Handing the window the 128 and 256 pixel pictures as
// well would keep about 0.7 MB of pixels alive for nothing.
constexpr int kLargestWindowIcon = 64;

// The window title at creation: the first field of the document-template string.
wxString TemplateTitle() {
    std::string text;
    if (!res::LoadText(IDS_DOC_TEMPLATE, text)) return "V7";
    return wxString::FromUTF8(text.substr(0, text.find('\n')));
}

}  // namespace

CMainFrame::CMainFrame(const std::function<void()>& beforeText) {
    // The window first: GTK loads its theme for it, which leaves the start-up
    // warm-up the time to open the registry the configuration is read from.
    Create(nullptr, wxID_ANY, TemplateTitle(), wxDefaultPosition, wxDefaultSize, kFrameStyle);
    // Watching starts before the first read, so no change falls in between.
    m_live = std::make_unique<LiveState>(this);
    m_driversRunning = m_live->DriversRunning();
    m_config.LoadConfiguration();
    // The station was left on: learn who is logged in there now.
    if (m_config.StationLaunched != 0) m_config.RefreshFromDriver();

    LoadFrameIcon();
    if (beforeText) beforeText();
    BuildMenuBar();
    BuildAccelerators();
    Bind(wxEVT_MENU, &CMainFrame::OnCommand, this, cmd::FirstWxId(), cmd::LastWxId());
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateCommand, this, cmd::FirstWxId(), cmd::LastWxId());
    Bind(EVT_LIVE_STATE, &CMainFrame::OnLiveState, this);

    m_view = new CV7View(this);
    m_view->ShowDriversRunning(m_driversRunning);
    m_view->OnInitialUpdate(m_config.StationLaunched != 0);
}

// The watch thread ends before the window it posts to.
CMainFrame::~CMainFrame() { m_live.reset(); }

void CMainFrame::OnLiveState(wxThreadEvent&) {
    m_live->Taken();
    if (m_commandDepth > 0) {
        m_followLater = true;
        return;
    }
    FollowLiveState();
}

void CMainFrame::FollowLiveState() {
    m_followLater = false;
    m_driversRunning = m_live->DriversRunning();
    if (m_driversRunning) wxGetApp().OpenDriverWhenMissing();
    m_config.LoadConfiguration();
    UpdateOnOffButtons();
}

// The desktop icon at each window-icon size drawn, so the window manager, the
// task bar and a HiDPI screen each pick a sharp one instead of scaling one picture.
void CMainFrame::LoadFrameIcon() {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    std::size_t count = 0;
    const res::AppIcon* icons = res::AppIcons(&count);
    wxIconBundle bundle;
    for (std::size_t i = 0; i < count; ++i) {
        if (icons[i].Size > kLargestWindowIcon) break;
        wxMemoryInputStream stream(icons[i].Data, icons[i].Bytes);
        wxImage image(stream, wxBITMAP_TYPE_PNG);
        if (!image.IsOk()) continue;
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(image));
        bundle.AddIcon(icon);
    }
    if (!bundle.IsEmpty()) SetIcons(bundle);
}

void CMainFrame::BuildMenuBar() { SetMenuBar(mainmenu::BuildMenuBar()); }

void CMainFrame::BuildAccelerators() { SetAcceleratorTable(mainmenu::BuildAccelerators()); }

void CMainFrame::OnCommand(wxCommandEvent& event) {
    // What changed meanwhile is followed once the command is done with the configuration.
    struct Running {
        CMainFrame& Frame;
        explicit Running(CMainFrame& frame) : Frame(frame) { ++Frame.m_commandDepth; }
        ~Running() {
            if (--Frame.m_commandDepth == 0 && Frame.m_followLater) Frame.FollowLiveState();
        }
    } running(*this);
    switch (cmd::ToSystemCommand(event.GetId())) {
    case cmd::ID_STATION_ON: OnStationOn(); break;
    case cmd::ID_STATION_OFF: OnStationOff(); break;
    case cmd::ID_STATION_TEST: OnStationTest(); break;
    case cmd::ID_AUTOLAUNCH_ON: OnAutoLaunchOn(); break;
    case cmd::ID_AUTOLAUNCH_OFF: OnAutoLaunchOff(); break;
    case cmd::ID_ALLOW_SHUTDOWN: OnAllowShutdown(); break;
    case cmd::ID_STOP_SHUTDOWN: OnStopShutdown(); break;
    case cmd::ID_STATION_OPTIONS: OnStationOptions(); break;
    case cmd::ID_DISPLAY_USERS: OnDisplayUsers(); break;
    case cmd::ID_REMOVE_USER: OnRemoveUser(); break;
    case cmd::ID_SEND_MESSAGE: OnSendMessage(); break;
    case cmd::ID_SHUTDOWN_WINDOWS: OnShutDownWindows(); break;
    case cmd::ID_EXIT:
    case cmd::ID_APP_EXIT: OnExit(); break;
    case cmd::ID_HELP_FINDER: HelpBook::ShowContents(this); break;
    case cmd::ID_HELP_INDEX:
    case cmd::ID_DEFAULT_HELP: HelpBook::ShowIndex(this); break;
    case cmd::ID_HELP: OnHelp(); break;
    case cmd::ID_MORE_HELP: OnMoreHelp(); break;
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
    case cmd::ID_AUTOLAUNCH_ON: options::ui::OnUpdateAutoLaunchOn(*this, event); break;
    case cmd::ID_AUTOLAUNCH_OFF: options::ui::OnUpdateAutoLaunchOff(*this, event); break;
    case cmd::ID_ALLOW_SHUTDOWN: options::ui::OnUpdateAllowShutdown(*this, event); break;
    case cmd::ID_STOP_SHUTDOWN: options::ui::OnUpdateStopShutdown(*this, event); break;
    default: event.Enable(cmd::IsAvailable(cmd::ToSystemCommand(event.GetId()))); break;
    }
}

void CMainFrame::OnStationOn() { station::ui::OnStationOn(*this); }

void CMainFrame::OnStationOff() { station::ui::OnStationOff(*this); }

void CMainFrame::OnStationTest() { station::ui::OnStationTest(*this); }

void CMainFrame::OnAutoLaunchOn() { options::ui::OnAutoLaunchOn(*this); }

void CMainFrame::OnAutoLaunchOff() { options::ui::OnAutoLaunchOff(*this); }

void CMainFrame::OnAllowShutdown() { options::ui::OnAllowShutdown(*this); }

void CMainFrame::OnStopShutdown() { options::ui::OnStopShutdown(*this); }

void CMainFrame::OnStationOptions() { options::ui::OnStationOptions(*this); }

void CMainFrame::OnDisplayUsers() { users::ui::OnDisplayUsers(*this); }

void CMainFrame::OnRemoveUser() { users::ui::OnRemoveUser(*this); }

void CMainFrame::OnSendMessage() { users::ui::OnSendMessage(*this); }

void CMainFrame::OnShutDownWindows() { users::ui::OnShutDownWindows(*this); }

void CMainFrame::OnExit() {
    // Returns at once; the window closes from the event loop.
    CallAfter([this] { Close(); });
}

void CMainFrame::OnHelp() {
    HelpBook::ShowTopicFor(nullptr);  // the topic of the active window
}

void CMainFrame::OnMoreHelp() { options::ui::OnMoreHelp(*this); }

void CMainFrame::UpdateOnOffButtons() {
    if (!m_view) return;
    m_view->ShowDriversRunning(m_driversRunning);
    m_view->EnableOnOffButtons(m_config.StationLaunched != 0);
}

int CMainFrame::IsDriverLoaded(unsigned short deviceNumber) { return ::IsDriverLoaded(deviceNumber); }
