// The help viewer module: the book's pages in wx html's help controller, in
// one help frame beside the program, or in a modal dialog over an open modal
// dialog. Built as a loadable module; the program reaches it only through
// HelpViewerApi.
#include <algorithm>
#include <exception>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/filesys.h>
#include <wx/fs_mem.h>
#include <wx/fs_zip.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpdlg.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlfilt.h>
#include <wx/html/htmlwin.h>
#include <wx/sstream.h>
#include <wx/treectrl.h>

#include "resources/help/HelpArchive.h"
#include "resources/ui/viewer/HelpViewerApi.h"

namespace {

constexpr const char* kHelpOnHelpPage = "using-help.htm";
constexpr const char* kTitleFormat = "V7 Help: %s";

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

const char* BookLocation() {
    // The memory file system keeps the archive for the rest of the run: the
    // zip handler caches streams that read straight from it.
    static const std::string location = [] {
        if (!wxFileSystem::HasHandlerForPath("memory:probe"))
            wxFileSystem::AddHandler(new wxMemoryFSHandler);
        if (!wxFileSystem::HasHandlerForPath("probe.zip#zip:probe"))
            wxFileSystem::AddHandler(new wxZipFSHandler);
        const auto archive = res::HelpBookArchive();
        wxMemoryFSHandler::AddFileWithMimeType(res::kHelpBookName, archive.data(), archive.size(),
                                               "application/zip");
        wxHtmlWindow::AddFilter(new BookPageFilter);
        return std::string("memory:") + res::kHelpBookName;
    }();
    return location.c_str();
}

// A new help window's place: a size that shows the contents beside a page
// (the library's first size is cramped), centred on the window it serves (the
// modal dialog it opens over, else the program's main window), and inside the
// work area of that window's screen.
void Place(wxTopLevelWindow* help) {
    wxWindow* over = help->GetParent() ? help->GetParent() : wxTheApp->GetTopWindow();
    if (over == help)
        over = nullptr;
    const wxRect area = wxDisplay(over ? over : help).GetClientArea();
    wxSize size = help->FromDIP(wxSize(900, 640));
    size.DecTo(area.GetSize());
    wxRect rect = wxRect(size).CentreIn(over ? over->GetScreenRect() : area);
    rect.x = std::clamp(rect.x, area.x, area.GetRight() + 1 - rect.width);
    rect.y = std::clamp(rect.y, area.y, area.GetBottom() + 1 - rect.height);
    help->SetSize(rect);
}

// The library's controller, placing each help window it makes before it shows.
class Controller : public wxHtmlHelpController {
public:
    using wxHtmlHelpController::wxHtmlHelpController;

protected:
    wxHtmlHelpFrame* CreateHelpFrame(wxHtmlHelpData* data) override {
        wxHtmlHelpFrame* frame = wxHtmlHelpController::CreateHelpFrame(data);
        Place(frame);
        return frame;
    }
    wxHtmlHelpDialog* CreateHelpDialog(wxHtmlHelpData* data) override {
        wxHtmlHelpDialog* dialog = wxHtmlHelpController::CreateHelpDialog(data);
        Place(dialog);
        return dialog;
    }
};

// The viewer, kept for the whole run. The library forgets its help window
// when that window is destroyed, with or without a close event.
std::unique_ptr<Controller> g_controller;

wxHtmlHelpController& FrameController() {
    if (!g_controller) {
        g_controller = std::make_unique<Controller>(wxHF_DEFAULT_STYLE | wxHF_FRAME);
        g_controller->SetTitleFormat(kTitleFormat);
        g_controller->SetShouldPreventAppExit(false);
        g_controller->AddBook(wxString::FromUTF8(BookLocation()));
    }
    return *g_controller;
}

// A modal dialog blocks every other window, so while one is open the help
// comes up as a modal dialog of its own over it; otherwise in the help frame
// that stays open beside the program. No exception leaves the module.
template <typename ShowFn>
int ShowInViewer(void* modal, ShowFn show) {
    try {
        if (modal) {
            Controller viewer(wxHF_DEFAULT_STYLE | wxHF_DIALOG | wxHF_MODAL, static_cast<wxWindow*>(modal));
            viewer.SetTitleFormat(kTitleFormat);
            if (!viewer.AddBook(wxString::FromUTF8(BookLocation())))
                return 0;
            return show(viewer) ? 1 : 0;
        }
        return show(FrameController()) ? 1 : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

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

int ShowContents(void* modal) {
    return ShowInViewer(modal, [](wxHtmlHelpController& viewer) {
        const bool shown = viewer.DisplayContents();
        UnfoldContents(viewer.GetHelpWindow());
        return shown;
    });
}

int ShowIndex(void* modal) {
    return ShowInViewer(modal, [](wxHtmlHelpController& viewer) { return viewer.DisplayIndex(); });
}

int ShowHelpOnHelp(void* modal) {
    return ShowInViewer(modal, [](wxHtmlHelpController& viewer) { return viewer.Display(kHelpOnHelpPage); });
}

int ShowTopic(void* modal, int topic) {
    return ShowInViewer(modal, [topic](wxHtmlHelpController& viewer) { return viewer.Display(topic); });
}

void Shutdown() {
    g_controller.reset();
}

constexpr HelpViewerApi kApi{kHelpViewerApiVersion, BookLocation, ShowContents, ShowIndex,
                             ShowHelpOnHelp,        ShowTopic,    Shutdown};

}  // namespace

extern "C" __attribute__((visibility("default"))) const HelpViewerApi* v7_help_viewer_api() {
    return &kApi;
}
