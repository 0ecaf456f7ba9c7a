#include "app/DisplayFontSettings.h"

#include <dlfcn.h>
#include <glib-object.h>

namespace {

// GDK's lookups are found at run time: the program links GTK only through wx
// and builds without GTK's development files. A toolkit without them leaves
// GTK's defaults, which only makes the font warm-up miss.
using ScreenGetDefault = void* (*)();
using ScreenGetSetting = gboolean (*)(void* screen, const char* name, GValue* value);

template <typename Read>
void ReadSetting(ScreenGetSetting get, void* screen, const char* name, GType type, Read read) {
    GValue value = G_VALUE_INIT;
    g_value_init(&value, type);
    if (get(screen, name, &value)) read(value);
    g_value_unset(&value);
}

}  // namespace

DisplayFontSettings ReadDisplayFontSettings() {
    DisplayFontSettings settings;
    auto getDefault = reinterpret_cast<ScreenGetDefault>(dlsym(RTLD_DEFAULT, "gdk_screen_get_default"));
    auto get = reinterpret_cast<ScreenGetSetting>(dlsym(RTLD_DEFAULT, "gdk_screen_get_setting"));
    void* screen = getDefault ? getDefault() : nullptr;
    if (!screen || !get) return settings;

    auto text = [](std::string& into) {
        return [&into](const GValue& value) {
            if (const char* s = g_value_get_string(&value); s && *s) into = s;
        };
    };
    ReadSetting(get, screen, "gtk-font-name", G_TYPE_STRING, text(settings.Font));
    ReadSetting(get, screen, "gtk-xft-hintstyle", G_TYPE_STRING, text(settings.HintStyle));
    ReadSetting(get, screen, "gtk-xft-rgba", G_TYPE_STRING, text(settings.Rgba));
    ReadSetting(get, screen, "gtk-xft-antialias", G_TYPE_INT,
                [&](const GValue& value) { settings.Antialias = g_value_get_int(&value); });
    ReadSetting(get, screen, "gtk-xft-hinting", G_TYPE_INT,
                [&](const GValue& value) { settings.Hinting = g_value_get_int(&value); });
    ReadSetting(get, screen, "gtk-xft-dpi", G_TYPE_INT, [&](const GValue& value) {
        // In 1024ths of a dot per inch; -1 leaves GTK's default.
        if (const int dpi = g_value_get_int(&value); dpi > 0) settings.Dpi = dpi / 1024.0;
    });
    return settings;
}
