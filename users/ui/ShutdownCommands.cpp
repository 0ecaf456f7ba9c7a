#include "users/ui/ShutdownCommands.h"

#include <wx/utils.h>

#include "resources/ui/MessageBox.h"
#include "station/ui/CommandHost.h"
#include "users/ShutdownRequest.h"
#include "users/ui/ShutDownDlg.h"

namespace users::ui {
namespace {

constexpr unsigned IDS_SHUTDOWN_REFUSED = 1510;

}  // namespace

void OnShutDownWindows(CommandHost& host) {
    CShutDownDlg dialog(host.Window());
    if (dialog.ShowModal() != wxID_OK) return;
    const auto choice = static_cast<ShutdownChoice>(dialog.m_nShutdownChoice);
    bool taken;
    {
        wxBusyCursor wait;
        taken = RequestShutdown(host.Configuration(), choice);
    }
    // A forced shut down ends this program before the answer comes; an answer
    // at all means the system said no, and the person should know.
    if (!taken) ::ui::ShowMessage(IDS_SHUTDOWN_REFUSED, host.Window());
}

}  // namespace users::ui
