// The control center program.
#include <cstdio>
#include <cstdlib>

#include <wx/app.h>

#include "app/V7App.h"

wxIMPLEMENT_APP_NO_MAIN(CV7App);

namespace {

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fputs("orvane-v7: no display (set DISPLAY)\n", stderr);
        return 1;
    }
    const int code = wxEntry(argc, argv);
    // A start that handed over to the copy already running did its job.
    return CV7App::HandedOverToRunningCopy() ? 0 : code;
}
