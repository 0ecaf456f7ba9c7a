#include "options/ui/InfoCommands.h"

#include "options/ui/AboutDlg.h"
#include "options/ui/MoreHelpDlg.h"
#include "station/ui/CommandHost.h"

namespace options::ui {

void OnAppAbout() {
    CAboutDlg aboutDlg;
    aboutDlg.ShowModal();
}

void OnMoreHelp(CommandHost& host) {
    CMoreHelpDlg dialog(host.Window());
    dialog.ShowModal();
}

}  // namespace options::ui
