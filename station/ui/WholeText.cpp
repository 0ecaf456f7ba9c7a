#include "station/ui/WholeText.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/tokenzr.h>
#include <wx/toplevel.h>

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

namespace {

// Room GTK's text view keeps around its text, on each side, in pixels.
constexpr int kTextBorder = 6;

// Rows the text takes when its lines wrap at word ends within width pixels.
int WrappedRows(wxDC& dc, const wxString& text, int width) {
    int rows = 0;
    for (const wxString& line : wxSplit(text, '\n', '\0')) {
        ++rows;
        wxString row;
        bool first = true;
        for (const wxString& word : wxSplit(line, ' ', '\0')) {
            const wxString longer = first ? word : row + " " + word;  // an indent is kept whole
            first = false;
            if (!row.empty() && dc.GetTextExtent(longer).x > width) {
                ++rows;
                row = word;
            } else {
                row = longer;
            }
        }
    }
    return rows;
}

}  // namespace

namespace ui {

void KeepScrollBarInView(wxTextCtrl* text) {
#ifdef __WXGTK__
    // The multi-line control's own widget is its scrolled window. GTK is
    // found at run time, as the program builds without its headers.
    using SetOverlay = void (*)(void* scrolled, int overlay);
    if (auto set = reinterpret_cast<SetOverlay>(dlsym(RTLD_DEFAULT, "gtk_scrolled_window_set_overlay_scrolling")))
        set(text->GetHandle(), 0);
#else
    (void)text;
#endif
}

void FitTextHeight(wxTextCtrl* text, int minHeight) {
    wxWindow* window = wxGetTopLevelParent(text);
    wxClientDC dc(text);
    dc.SetFont(text->GetFont());
    const int width = text->GetSize().x - 2 * kTextBorder - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, text);
    // One spare row: a word the measure fits exactly may still wrap.
    const int need = (WrappedRows(dc, text->GetValue(), width) + 1) * dc.GetCharHeight() + 2 * kTextBorder;

    const wxRect screen = wxDisplay(window).GetClientArea();
    const int around = window->GetSize().y - text->GetSize().y;
    const int height = std::max(minHeight, std::min(need, screen.height - around));
    const int grow = height - text->GetSize().y;
    if (grow == 0) return;
    text->SetSize(text->GetSize().x, height);
    window->SetClientSize(window->GetClientSize().x, window->GetClientSize().y + grow);
    wxRect rect = window->GetRect();
    if (rect.GetBottom() > screen.GetBottom()) window->Move(rect.x, std::max(screen.y, screen.GetBottom() - rect.height));
}

}  // namespace ui
