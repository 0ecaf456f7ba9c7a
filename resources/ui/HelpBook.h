// The help book: the program's HTML help, packed into the program, shown by
// the help commands and by the Help buttons of the panel and the dialogs.
#pragma once

#include <wx/string.h>

class wxWindow;

class HelpBook {
public:
    // Topic number of the control panel: the page shown when the Help button
    // is pressed outside any dialog of ours.
    static constexpr int kPanelTopic = 103;

    // Help > Contents and Index (57667).
    static bool ShowContents(wxWindow* parent);
    // The index (57666, 57671).
    static bool ShowIndex(wxWindow* parent);
    // Help > Help Using Help (57668): the page about using help itself.
    static bool ShowHelpOnHelp(wxWindow* parent);
    // The Help buttons (57670): the topic of the dialog that holds `active`
    // (its template number as window ID, or a name "dialog-NNN"); while a modal
    // dialog of ours is open, that one; otherwise the control panel's topic.
    // Null means the active window.
    static bool ShowTopicFor(wxWindow* active);
    // Context help (57669): the contents.
    static bool ShowContextHelp(wxWindow* parent);

    // The topic number ShowTopicFor picks for a window.
    static int TopicNumberFor(wxWindow* active);
    // True when the book has a topic for the template number (100 to 108).
    static bool IsDialogTopic(int templateNumber);

    // Registers the packed book with the virtual file system (once) and
    // returns its location, "memory:orvane-v7.htb".
    static wxString BookLocation();

    // Closes the help window and frees the viewer. The application calls it
    // at exit; a module calls it again at library clean-up, which is harmless.
    static void Shutdown();
};
