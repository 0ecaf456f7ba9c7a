// Turning the V7 Station on and off: the main frame's power commands and their
// menu rules. Turn On asks the driver first and records the new state only on
// success; Turn Off records the station as off first and puts the old state
// back if the driver refuses.
#include <cstring>
#include <string>

#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "app/MainFrame.h"
#include "app/V7App.h"
#include "resources/StringTable.h"
#include "station/DriverChannel.h"

namespace {

constexpr unsigned IDS_TURN_ON_FAILED = 2009;
constexpr unsigned IDS_CONFIRM_TURN_OFF = 2012;
constexpr unsigned IDS_TURN_OFF_FAILED = 2013;
constexpr unsigned IDS_NO_USER = 2025;

std::string StringResource(unsigned id) {
    std::string text;
    res::LoadString(id, text);
    return text;
}

}  // namespace

void CMainFrame::OnStationOn() {
    m_config.LoadConfiguration();
    if (m_config.StationLaunched != 0) return;  // already on: nothing to say

    // Ends with the scope, also when an exception passes through.
    wxBusyCursor wait;

    StationRecord& request = m_config.LastStationRecord;
    std::memset(&request, 0, sizeof request);
    CopyRecordText(request.Name, m_config.StationName);
    CopyRecordText(request.UserName, m_config.DefaultUser);
    request.Reserved = 0;

    if (TurnStationOn(&request) != 0) {
        wxGetApp().ShowMessage(IDS_TURN_ON_FAILED);
        return;
    }
    m_config.BoardLaunched = 1;
    m_config.StationLaunched = 1;
    m_config.CurrentUser = m_config.DefaultUser;
    m_config.SaveConfiguration();
    UpdateOnOffButtons();
    m_config.RefreshFromDriver();
}

void CMainFrame::OnStationOff() {
    m_config.LoadConfiguration();
    if (m_config.StationLaunched == 0) return;  // already off

    const wxString question = wxString::FromUTF8(StringResource(IDS_CONFIRM_TURN_OFF));
    if (wxMessageBox(question, wxGetApp().GetAppDisplayName(), wxYES_NO) != wxYES) return;

    m_config.RefreshFromDriver();
    const std::string previousUser = m_config.CurrentUser;

    m_config.BoardLaunched = 0;
    m_config.StationLaunched = 0;
    m_config.CurrentUser = StringResource(IDS_NO_USER);
    m_config.SaveConfiguration();
    UpdateOnOffButtons();

    if (TurnStationOff(&m_config.LastStationRecord)) return;

    m_config.BoardLaunched = 1;
    m_config.StationLaunched = 1;
    m_config.CurrentUser = previousUser;
    m_config.SaveConfiguration();
    UpdateOnOffButtons();
    wxGetApp().ShowMessage(IDS_TURN_OFF_FAILED);
}

// The Station items use the values in memory, without reloading.
void CMainFrame::OnUpdateStationOn(wxUpdateUIEvent& event) { event.Enable(m_config.StationLaunched == 0); }

void CMainFrame::OnUpdateStationOff(wxUpdateUIEvent& event) { event.Enable(m_config.StationLaunched != 0); }
