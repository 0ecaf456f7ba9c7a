// Work the main window needs that GTK's own start-up need not wait for, done on
// a thread of its own while GTK loads its theme for the first window: opening
// the registry, and loading the fonts the menu bar is laid out with.
// Without it the window waits, at its first size request, for the font
// configuration (dozens of files), the font match, the font file and the
// shaping of the menu titles, one after the other, before it can be shown.
//
// The text layout library keeps one font map per thread, so the thread builds
// its own and the UI thread adopts it, caches and all, before it lays out any
// text of its own. Its caches are keyed by the font and the display's rendering
// settings, so the thread is given those as GTK will see them.
#pragma once

#include <string>
#include <thread>

#include "app/DisplayFontSettings.h"

typedef struct _PangoFontMap PangoFontMap;

class StartupWarmUp {
public:
    // Starts the thread; sampleText is what gets laid out in the interface font.
    StartupWarmUp(std::string sampleText, DisplayFontSettings settings);
    // Waits for the thread: the warm-up takes a few milliseconds, and the
    // program never ends while a library is still building its caches.
    ~StartupWarmUp();

    StartupWarmUp(const StartupWarmUp&) = delete;
    StartupWarmUp& operator=(const StartupWarmUp&) = delete;

    // On the UI thread, before any window measures text: waits for the warm-up
    // and makes its font map this thread's default. Later calls do nothing.
    void AdoptFonts();

private:
    void Run();
    void LoadFonts();

    std::string m_sample;
    DisplayFontSettings m_settings;
    std::thread m_thread;
    PangoFontMap* m_map = nullptr;  // owned; written by the thread, read after the join
};
