// The GUI tests' program: wx is started once for the whole run with the
// control center's own application object, so wxGetApp() is the real one. The
// tests skip when there is no display.
//
//   test_gui --second-copy ROOT   starts as a later copy of the program on ROOT
//                                 would and exits 0 when it handed over to a
//                                 running copy, 1 when it would run itself.
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include "app/V7App.h"
#include "host/emulated/root.h"

wxIMPLEMENT_APP_NO_MAIN(CV7App);

namespace {

bool HasDisplay() {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display && *display) || (wayland && *wayland);
}

void AssertToFailure(const wxString& file, int line, const wxString& func, const wxString& cond,
                     const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion " << cond.utf8_string() << " in "
                                          << func.utf8_string() << ": " << msg.utf8_string();
}

int RunSecondCopy(int argc, char** argv) {
    host::emulated::SetHostRoot(argv[2]);
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv)) return 2;
    const int code = wxGetApp().IsFirstInstance() ? 1 : 0;
    wxGetApp().OnExit();
    wxEntryCleanup();
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--second-copy") == 0) return RunSecondCopy(argc, argv);

    ::testing::InitGoogleTest(&argc, argv);
    if (!HasDisplay() || !wxEntryStart(argc, argv)) return RUN_ALL_TESTS();  // every test skips

    wxSetAssertHandler(&AssertToFailure);
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
