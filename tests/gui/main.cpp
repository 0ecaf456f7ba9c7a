// The GUI tests' program: wx starts once for the whole run with the control
// center's own application object, so wxGetApp() is the real one. Without a
// display wx does not start and every test skips.
#include <cstdlib>

#include <wx/evtloop.h>
#include <wx/init.h>

#include "GuiTest.h"

wxIMPLEMENT_APP_NO_MAIN(CV7App);

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The help viewer module of this build (the program finds it beside itself).
    setenv("V7_HELP_MODULE", V7_HELP_MODULE_PATH, 0);
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!((display && *display) || (wayland && *wayland)) || !wxEntryStart(argc, argv)) return RUN_ALL_TESTS();
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                          const wxString& msg) {
        ADD_FAILURE_AT(file.utf8_str(), line)
            << "wx assertion " << cond.utf8_string() << " in " << func.utf8_string() << ": " << msg.utf8_string();
    });
    int code = 0;
    {
        // Yield, deferred calls and socket events need an active loop.
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        code = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return code;
}
