// The one main window: owns the station configuration and ends every command.
#pragma once

#include <wx/frame.h>

#include "station/StationConfiguration.h"

class CV7View;
class wxUpdateUIEvent;
class wxCommandEvent;

class CMainFrame : public wxFrame {
public:
    // Loads the configuration and, when the station was left on, refreshes its
    // current user from the driver; then creates the window, its menu,
    // accelerator and the control panel.
    CMainFrame();

    StationConfiguration& Configuration() { return m_config; }
    CV7View* GetActiveView() const { return m_view; }

    // Command handlers. The panel's buttons call these directly; the menu
    // reaches them through the event table.
    void OnStationOn();
    void OnStationOff();
    void OnExit();
    void OnHelp();
    // Commands whose features come with later work: present, unavailable.
    void OnSendMessage();
    void OnRemoveUser();
    void OnStationOptions();
    void OnStationTest();

    // Hands StationLaunched to the panel's On/Off pair.
    void UpdateOnOffButtons();
    // 1 when a loaded driver carries the device number.
    int IsDriverLoaded(unsigned short deviceNumber);

private:
    void OnCommand(wxCommandEvent& event);
    void OnUpdateStationOn(wxUpdateUIEvent& event);
    void OnUpdateStationOff(wxUpdateUIEvent& event);
    void OnUpdateAutoLaunchOn(wxUpdateUIEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void BuildMenuBar();
    void BuildAccelerators();
    void LoadIcon();

    StationConfiguration m_config;
    CV7View* m_view = nullptr;
};
