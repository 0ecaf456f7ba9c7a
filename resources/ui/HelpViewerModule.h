// Finding and loading the help viewer module (wx html), on the first call that
// needs it: most runs never open help, and the library costs memory and
// start-up time. The module stays loaded for the rest of the run.
#pragma once

#include <string>

#include "resources/ui/viewer/HelpViewerApi.h"

namespace help {

// The viewer, loading it if need be; null when it cannot be loaded, with the
// reason (the loader's own words) in `error`.
const HelpViewerApi* LoadViewer(std::string& error);

// The viewer if it is loaded already, else null; never loads it.
const HelpViewerApi* LoadedViewer();

// Where the module is looked for: $V7_HELP_MODULE if set (an absolute path),
// else beside the program as installed, <program dir>/<relative path baked in
// at build time>. Empty when there is no usable place, with the reason in `error`.
std::string ViewerModulePath(std::string& error);

// Ends the wx modules that loading the viewer brought in (the html library's
// own start-up and clean-up). wx calls it at its clean-up.
void EndViewerLibraries();

}  // namespace help
