// Loads the font configuration on a thread of its own while GTK connects to the
// display and builds the main window. The menu bar is the first thing that needs
// fonts, and without the warm-up the window waits for the whole configuration
// (dozens of files) to load at that moment, before it can be shown.
#pragma once

#include <thread>

class FontWarmUp {
public:
    FontWarmUp();
    // Waits for the thread: the configuration loads in a few milliseconds, and
    // the program never ends while a library is still building it.
    ~FontWarmUp();

    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

private:
    std::thread m_thread;
};
