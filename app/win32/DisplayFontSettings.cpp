// On Windows the interface font and its rendering are the system's, which wx
// takes as they are; nothing here is read from them.
#include "app/DisplayFontSettings.h"

DisplayFontSettings ReadDisplayFontSettings() { return {}; }
