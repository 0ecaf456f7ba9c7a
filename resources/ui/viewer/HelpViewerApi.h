// The help viewer's entry point: the program loads the viewer module (wx html)
// when help is first opened and calls it only through this table of plain C
// functions, so neither side depends on the other's C++ layout beyond wx itself.
#pragma once

#include <cstdint>

extern "C" {

// Raised whenever a function is added, removed or changes meaning.
inline constexpr std::uint32_t kHelpViewerApiVersion = 1;
// The one symbol the program looks up in the module.
inline constexpr const char* kHelpViewerEntryPoint = "v7_help_viewer_api";

// `modal` is the modal dialog of ours that is open (a wxDialog*), or null: the
// help then comes up as a modal dialog over it rather than in the help frame.
// The show functions return 1 when the page is shown, 0 otherwise.
struct HelpViewerApi {
    std::uint32_t version;
    // Registers the packed book with the virtual file system (once); its
    // location as UTF-8, valid for the rest of the run.
    const char* (*bookLocation)();
    int (*showContents)(void* modal);
    int (*showIndex)(void* modal);
    // The page about using help itself.
    int (*showHelpOnHelp)(void* modal);
    // The page whose contents entry carries this number as its ID.
    int (*showTopic)(void* modal, int topic);
    // Closes the help window and frees the viewer.
    void (*shutdown)();
};

using HelpViewerEntryPoint = const HelpViewerApi* (*)();

}  // extern "C"
