// The one main window: owns the station configuration and ends every command.
#pragma once

#include <functional>
#include <memory>

#include <wx/frame.h>

#include "station/StationConfiguration.h"
#include "station/ui/CommandHost.h"

class CV7View;
class LiveState;
class wxThreadEvent;
class wxUpdateUIEvent;
class wxCommandEvent;

class CMainFrame : public wxFrame, public CommandHost {
public:
    // Creates the window (hidden), loads the configuration and, when the
    // station was left on, refreshes its current user from the driver; then
    // builds the menu, accelerator and the control panel. beforeText runs once
    // the window exists and before anything in it lays out text.
    explicit CMainFrame(const std::function<void()>& beforeText = {});
    ~CMainFrame() override;

    StationConfiguration& Configuration() override { return m_config; }
    wxWindow* Window() override { return this; }
    CV7View* GetActiveView() const { return m_view; }

    // Command handlers. The menu and the panel's buttons reach them through
    // the command table; each forwards to its feature's handler.
    void OnStationOn();
    void OnStationOff();
    void OnExit();
    void OnHelp();
    void OnAutoLaunchOn();
    void OnAutoLaunchOff();
    void OnAllowShutdown();
    void OnStopShutdown();
    void OnStationOptions();
    void OnDisplayUsers();
    void OnRemoveUser();
    void OnMoreHelp();
    void OnSendMessage();
    void OnShutDownWindows();
    void OnStationTest();

    // Hands StationLaunched and whether the drivers run to the panel's On/Off pair.
    void UpdateOnOffButtons() override;
    // Whether the drivers answered and still run, as the panel shows it.
    bool DriversRunning() const { return m_driversRunning; }
    // 1 when a loaded driver carries the device number.
    int IsDriverLoaded(unsigned short deviceNumber);

private:
    void OnCommand(wxCommandEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void BuildMenuBar();
    void BuildAccelerators();
    void LoadFrameIcon();
    // The registry or the drivers changed behind the window's back: the
    // configuration is read again and the panel follows, once no command is
    // in the middle of its work.
    void OnLiveState(wxThreadEvent& event);
    void FollowLiveState();

    StationConfiguration m_config;
    CV7View* m_view = nullptr;
    std::unique_ptr<LiveState> m_live;
    bool m_driversRunning = true;
    int m_commandDepth = 0;      // commands running (one, or one inside a modal loop)
    bool m_followLater = false;  // a change came while a command ran
};
