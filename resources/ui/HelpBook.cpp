#include "resources/ui/HelpBook.h"

#include <algorithm>
#include <array>
#include <memory>

#include <wx/dialog.h>
#include <wx/filesys.h>
#include <wx/fs_mem.h>
#include <wx/fs_zip.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlfilt.h>
#include <wx/html/htmlwin.h>
#include <wx/module.h>
#include <wx/sstream.h>
#include <wx/toplevel.h>
#include <wx/treectrl.h>

#include "resources/help/HelpArchive.h"

namespace {

// Template numbers of the dialogs and of the panel form; each has a topic
// in the book's contents carrying that number as its ID.
constexpr std::array<int, 9> kDialogTopics{100, 101, 102, 103, 104, 105, 106, 107, 108};

constexpr const char* kHelpOnHelpPage = "using-help.htm";
constexpr const char* kTitleFormat = "V7 Help: %s";

// The viewer, kept for the whole run. The library forgets its help window
// when that window is destroyed, with or without a close event.
std::unique_ptr<wxHtmlHelpController> g_controller;

wxHtmlHelpController& Controller() {
    if (!g_controller) {
        g_controller = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE | wxHF_FRAME);
        g_controller->SetTitleFormat(kTitleFormat);
        g_controller->SetShouldPreventAppExit(false);
        g_controller->AddBook(HelpBook::BookLocation());
    }
    return *g_controller;
}

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

// A modal dialog blocks every other window, so while one is open the help
// comes up as a modal dialog of its own over it; otherwise in the help frame
// that stays open beside the program.
template <typename ShowFn>
bool ShowInViewer(ShowFn show) {
    if (wxDialog* modal = OpenModalDialog()) {
        wxHtmlHelpController viewer(wxHF_DEFAULT_STYLE | wxHF_DIALOG | wxHF_MODAL, modal);
        viewer.SetTitleFormat(kTitleFormat);
        if (!viewer.AddBook(HelpBook::BookLocation()))
            return false;
        return show(viewer);
    }
    wxHtmlHelpController& viewer = Controller();
    const bool opening = viewer.GetFrame() == nullptr;
    const bool shown = show(viewer);
    // The library's first size is cramped for the contents beside a page.
    if (wxFrame* frame = viewer.GetFrame(); opening && frame)
        frame->SetSize(frame->FromDIP(wxSize(900, 640)));
    return shown;
}

// The book's pages are HTML whatever the system's MIME table says about
// ".htm": some tables map it to XHTML, which the viewer would show as text.
class BookPageFilter : public wxHtmlFilter {
public:
    bool CanRead(const wxFSFile& file) const override {
        const wxString location = file.GetLocation();
        return location.Contains(wxString(res::kHelpBookName) + "#zip:") &&
               location.Lower().EndsWith(".htm") &&
               !file.GetMimeType().StartsWith("text/html");
    }
    wxString ReadFile(const wxFSFile& file) const override {
        wxString text;
        wxStringOutputStream out(&text, wxConvUTF8);
        if (wxInputStream* in = file.GetStream())
            in->Read(out);
        return text;
    }
};

// The book is small: its whole table of contents fits, so it opens unfolded.
void UnfoldContents(wxWindow* window) {
    if (!window)
        return;
    if (auto* tree = wxDynamicCast(window, wxTreeCtrl)) {
        tree->ExpandAll();
        return;
    }
    for (wxWindow* child : window->GetChildren())
        UnfoldContents(child);
}

class HelpBookModule : public wxModule {
public:
    bool OnInit() override { return true; }
    void OnExit() override { HelpBook::Shutdown(); }

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
    // The memory file system keeps the archive for the rest of the run: the
    // zip handler caches streams that read straight from it.
    static bool registered = false;
    if (!registered) {
        if (!wxFileSystem::HasHandlerForPath("memory:probe"))
            wxFileSystem::AddHandler(new wxMemoryFSHandler);
        if (!wxFileSystem::HasHandlerForPath("probe.zip#zip:probe"))
            wxFileSystem::AddHandler(new wxZipFSHandler);
        const auto archive = res::HelpBookArchive();
        wxMemoryFSHandler::AddFileWithMimeType(res::kHelpBookName, archive.data(),
                                               archive.size(), "application/zip");
        wxHtmlWindow::AddFilter(new BookPageFilter);
        registered = true;
    }
    return wxString("memory:") + res::kHelpBookName;
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

bool HelpBook::ShowContents(wxWindow*) {
    return ShowInViewer([](wxHtmlHelpController& viewer) {
        const bool shown = viewer.DisplayContents();
        UnfoldContents(viewer.GetHelpWindow());
        return shown;
    });
}

bool HelpBook::ShowIndex(wxWindow*) {
    return ShowInViewer([](wxHtmlHelpController& viewer) { return viewer.DisplayIndex(); });
}

bool HelpBook::ShowHelpOnHelp(wxWindow*) {
    return ShowInViewer(
        [](wxHtmlHelpController& viewer) { return viewer.Display(kHelpOnHelpPage); });
}

bool HelpBook::ShowTopicFor(wxWindow* active) {
    const int topic = TopicNumberFor(active);
    return ShowInViewer([topic](wxHtmlHelpController& viewer) { return viewer.Display(topic); });
}

bool HelpBook::ShowContextHelp(wxWindow* parent) {
    return ShowContents(parent);
}

void HelpBook::Shutdown() {
    g_controller.reset();
}
