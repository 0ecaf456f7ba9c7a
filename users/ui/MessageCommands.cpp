#include "users/ui/MessageCommands.h"

#include <wx/utils.h>

#include "resources/ui/MessageBox.h"
#include "station/ui/CommandHost.h"
#include "users/Broadcast.h"
#include "users/ui/SendMessageDlg.h"

namespace users::ui {
namespace {

constexpr unsigned IDS_BROADCAST_FAILED = 1501;
constexpr unsigned IDS_STATION_NOT_ON = 1504;

}  // namespace

void OnSendMessage(CommandHost& host) {
    if (!StationIsOn(host.Configuration())) {
        ::ui::ShowMessage(IDS_STATION_NOT_ON, host.Window());
        return;
    }
    const std::string sender = SenderName();
    CSendMessageDlg dialog(host.Window());
    if (dialog.ShowModal() != wxID_OK) return;

    BroadcastResult result;
    {
        wxBusyCursor wait;
        result = SendBroadcast(sender, dialog.m_strMessage.utf8_string());
    }
    if (result == BroadcastResult::Refused) ::ui::ShowMessage(IDS_BROADCAST_FAILED, host.Window());
}

}  // namespace users::ui
