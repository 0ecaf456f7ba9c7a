// The yardstick for start-up: the smallest wx program that shows a frame.
#include <wx/app.h>
#include <wx/frame.h>

class BareApp : public wxApp {
public:
    bool OnInit() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bare");
        frame->Show();
        return true;
    }
};

wxIMPLEMENT_APP(BareApp);
