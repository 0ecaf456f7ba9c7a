#include "station/ui/PowerCommands.h"

#include <wx/event.h>
#include <wx/utils.h>

#include "resources/ui/MessageBox.h"
#include "station/PowerSequence.h"
#include "station/ui/CommandHost.h"

namespace station::ui {
namespace {

constexpr unsigned IDS_TURN_ON_FAILED = 2009;
constexpr unsigned IDS_CONFIRM_TURN_OFF = 2012;
constexpr unsigned IDS_TURN_OFF_FAILED = 2013;

}  // namespace

void OnStationOn(CommandHost& host) {
    // Ends with the scope, also when an exception passes through.
    wxBusyCursor wait;
    const PowerResult result = TurnOn(host.Configuration(), [&host] { host.UpdateOnOffButtons(); });
    if (result == PowerResult::Refused) ::ui::ShowMessage(IDS_TURN_ON_FAILED, host.Window());
}

void OnStationOff(CommandHost& host) {
    const auto confirm = [&host] { return ::ui::AskYesNo(IDS_CONFIRM_TURN_OFF, false, host.Window()); };
    const PowerResult result = TurnOff(host.Configuration(), confirm, [&host] { host.UpdateOnOffButtons(); });
    if (result == PowerResult::Refused) ::ui::ShowMessage(IDS_TURN_OFF_FAILED, host.Window());
}

void OnUpdateStationOn(CommandHost& host, wxUpdateUIEvent& event) {
    event.Enable(host.Configuration().StationLaunched == 0);
}

void OnUpdateStationOff(CommandHost& host, wxUpdateUIEvent& event) {
    event.Enable(host.Configuration().StationLaunched != 0);
}

}  // namespace station::ui
