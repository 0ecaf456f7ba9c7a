// The interface font and how text is rendered on this display, as GTK will
// read them when it builds its first window: the desktop's settings (or the X
// resources standing in for them), with GTK's own defaults for what neither says.
#pragma once

#include <string>

struct DisplayFontSettings {
    std::string Font = "Sans 10";  // a font description
    double Dpi = 96.0;
    int Antialias = -1;  // 0 off, 1 on, -1 unset
    int Hinting = -1;    // 0 off, 1 on, -1 unset
    std::string HintStyle;  // "hintnone", "hintslight", "hintmedium", "hintfull" or unset
    std::string Rgba;       // sub-pixel order: "rgb", "bgr", "vrgb", "vbgr" or unset
};

// On the UI thread once the toolkit has connected to the display. Reading them
// costs a few lookups, unlike GTK's own settings object, which loads the theme.
DisplayFontSettings ReadDisplayFontSettings();
