#include "station/ui/TestCommand.h"

#include <wx/utils.h>

#include "station/StationTest.h"
#include "station/ui/CommandHost.h"
#include "station/ui/TestStationDlg.h"

namespace station::ui {

void OnStationTest(CommandHost& host) {
    CTestStationDlg dialog(host.Window());
    do {
        {
            wxBusyCursor wait;
            dialog.SetResult(RunTestPass(host.Configuration()));
        }
        // The pass reloaded the configuration: the panel's On/Off pair follows
        // a change made elsewhere (v7ctl, the drivers) instead of contradicting it.
        host.UpdateOnOffButtons();
    } while (dialog.ShowModal() == wxID_OK);
}

}  // namespace station::ui
