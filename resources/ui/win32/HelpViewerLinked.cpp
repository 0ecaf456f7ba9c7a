// On Windows the help viewer is part of the program (wx html and the packed
// book are linked in): a module carrying its own static wx would be a second
// copy of wx. The table is the same one the Linux module hands out.
#include "resources/ui/HelpViewerModule.h"

extern "C" const HelpViewerApi* v7_help_viewer_api();

namespace help {
namespace {

const HelpViewerApi* g_viewer = nullptr;

}  // namespace

std::string ViewerModulePath(std::string& error) {
    error = "the help viewer is part of the program";
    return {};
}

const HelpViewerApi* LoadedViewer() { return g_viewer; }

const HelpViewerApi* LoadViewer(std::string&) {
    if (!g_viewer) g_viewer = v7_help_viewer_api();
    return g_viewer;
}

// wx starts and ends the html library's modules itself: it was linked in.
void EndViewerLibraries() {}

}  // namespace help
