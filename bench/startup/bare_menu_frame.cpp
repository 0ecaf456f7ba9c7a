// The second yardstick: the bare frame with a menu bar of the control center's
// shape (six menus of a few items) and its client size. Any window that shows
// text pays for the font set-up before it can be mapped; this frame shows how
// much of the control center's start-up is that and not the program itself.
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/menu.h>

class BareMenuApp : public wxApp {
public:
    bool OnInit() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bare");
        auto* bar = new wxMenuBar;
        int id = wxID_HIGHEST;
        for (const char* title : {"&File", "&Users", "&Station", "&Messages", "&Options", "&Help"}) {
            auto* menu = new wxMenu;
            for (int i = 0; i < 4; ++i) menu->Append(++id, wxString::Format("Item &%d\tCtrl+%c", i, 'A' + i));
            bar->Append(menu, title);
        }
        frame->SetMenuBar(bar);
        frame->SetClientSize(450, 330);
        frame->Show();
        return true;
    }
};

wxIMPLEMENT_APP(BareMenuApp);
