#include "resources/ui/HelpBook.h"

#include <algorithm>
#include <array>
#include <string>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/module.h>
#include <wx/msgdlg.h>
#include <wx/toplevel.h>

#include "resources/ui/HelpViewerModule.h"

// The viewer itself (wx html) is a module loaded on the first call that shows
// help (HelpViewerModule); what is here needs wx core only.

namespace {

// Template numbers of the dialogs and of the panel form; each has a topic
// in the book's contents carrying that number as its ID.
constexpr std::array<int, 9> kDialogTopics{100, 101, 102, 103, 104, 105, 106, 107, 108};

wxDialog* OpenModalDialog() {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = wxDynamicCast(window, wxDialog);
        if (dialog && dialog->IsModal())
            return dialog;
    }
    return nullptr;
}

// A window of the program that stands for a topic: its ID is the template
// number, or its name is "dialog-NNN".
int TopicNumberOf(const wxWindow* window) {
    if (HelpBook::IsDialogTopic(window->GetId()))
        return window->GetId();
    long number = 0;
    const wxString name = window->GetName();
    if (name.StartsWith("dialog-") && name.Mid(7).ToLong(&number) &&
        HelpBook::IsDialogTopic(static_cast<int>(number)))
        return static_cast<int>(number);
    return 0;
}

int TopicNumberInChain(wxWindow* window) {
    for (; window; window = window->GetParent()) {
        if (int number = TopicNumberOf(window))
            return number;
    }
    return 0;
}

// The viewer, or null after telling the user why there is no help.
const HelpViewerApi* Viewer(wxWindow* parent) {
    std::string error;
    if (const HelpViewerApi* viewer = help::LoadViewer(error))
        return viewer;
    const wxString caption = wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("V7");
    wxMessageBox("Help cannot be shown: the help viewer did not load.\n\n" + wxString::FromUTF8(error) +
                     "\n\nReinstalling the program restores it.",
                 caption, wxOK | wxICON_ERROR, parent ? wxGetTopLevelParent(parent) : nullptr);
    return nullptr;
}

// Shows through the viewer; over the open modal dialog if there is one.
template <typename ShowFn>
bool Show(wxWindow* parent, ShowFn show) {
    wxDialog* modal = OpenModalDialog();
    const HelpViewerApi* viewer = Viewer(modal ? modal : parent);
    return viewer && show(*viewer, static_cast<void*>(static_cast<wxWindow*>(modal))) != 0;
}

class HelpBookModule : public wxModule {
public:
    bool OnInit() override { return true; }
    void OnExit() override {
        HelpBook::Shutdown();
        help::EndViewerLibraries();
    }

private:
    wxDECLARE_DYNAMIC_CLASS(HelpBookModule);
};
wxIMPLEMENT_DYNAMIC_CLASS(HelpBookModule, wxModule);

}  // namespace

bool HelpBook::IsDialogTopic(int templateNumber) {
    return std::find(kDialogTopics.begin(), kDialogTopics.end(), templateNumber) !=
           kDialogTopics.end();
}

wxString HelpBook::BookLocation() {
    std::string error;
    const HelpViewerApi* viewer = help::LoadViewer(error);
    return viewer ? wxString::FromUTF8(viewer->bookLocation()) : wxString();
}

int HelpBook::TopicNumberFor(wxWindow* active) {
    if (!active)
        active = wxGetActiveWindow();
    if (int number = TopicNumberInChain(active))
        return number;
    if (wxDialog* modal = OpenModalDialog()) {
        if (int number = TopicNumberOf(modal))
            return number;
    }
    return kPanelTopic;
}

bool HelpBook::ShowContents(wxWindow* parent) {
    return Show(parent, [](const HelpViewerApi& viewer, void* modal) { return viewer.showContents(modal); });
}

bool HelpBook::ShowIndex(wxWindow* parent) {
    return Show(parent, [](const HelpViewerApi& viewer, void* modal) { return viewer.showIndex(modal); });
}

bool HelpBook::ShowHelpOnHelp(wxWindow* parent) {
    return Show(parent, [](const HelpViewerApi& viewer, void* modal) { return viewer.showHelpOnHelp(modal); });
}

bool HelpBook::ShowTopicFor(wxWindow* active) {
    const int topic = TopicNumberFor(active);
    return Show(active, [topic](const HelpViewerApi& viewer, void* modal) { return viewer.showTopic(modal, topic); });
}

bool HelpBook::ShowContextHelp(wxWindow* parent) {
    return ShowContents(parent);
}

void HelpBook::Shutdown() {
    // Nothing to close unless help was opened: never loads the viewer.
    if (const HelpViewerApi* viewer = help::LoadedViewer())
        viewer->shutdown();
}
