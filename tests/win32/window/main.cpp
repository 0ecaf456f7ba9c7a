// The window tests' program on Windows: wx starts once for the whole run with
// the control center's own application object, as in the Linux GUI tests. A
// Windows program always has a screen, so wx failing to start is a failure.
#include <cstdio>

#include <wx/evtloop.h>
#include <wx/init.h>

#include "GuiTest.h"

wxIMPLEMENT_APP_NO_MAIN(CV7App);

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    if (!wxEntryStart(argc, argv)) {
        std::fputs("wx did not start (no X display for Wine?)\n", stderr);
        return 1;
    }
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                          const wxString& msg) {
        ADD_FAILURE_AT(file.utf8_str(), line)
            << "wx assertion " << cond.utf8_string() << " in " << func.utf8_string() << ": " << msg.utf8_string();
    });
    int code = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        code = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return code;
}
