// Moving the options dialog's slider must not be felt: one notification reads
// the controls, relabels the resolution and refills both lists. Goal: at most
// 2 ms median. Needs a display (run under xvfb-run); skipped without one.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/slider.h>

#include "options/ui/StationOptionsDlg.h"

namespace {

// wx starts once, on first use, for the rest of the run.
bool StartWx() {
    static const bool started = [] {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) return false;
        static int argc = 1;
        static char name[] = "v7-bench";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp);
        return wxEntryStart(argc, argv);
    }();
    return started;
}

void BM_StationOptionsSlider(benchmark::State& state) {
    if (!StartWx()) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    options::StationOptions values;
    values.DisplayMode = 9;
    auto* dialog = new CStationOptionsDlg(nullptr, values);
    dialog->Show();
    dialog->InitDialog();
    wxTheApp->Yield();
    auto* slider = static_cast<wxSlider*>(dialog->FindWindow(CStationOptionsDlg::IDC_RESOLUTION));
    int position = 0;
    for (auto _ : state) {
        position = (position + 1) % 3;
        slider->SetValue(position);
        wxScrollEvent event(wxEVT_SCROLL_THUMBTRACK, slider->GetId(), position, wxHORIZONTAL);
        event.SetEventObject(slider);
        slider->HandleWindowEvent(event);
    }
    dialog->Destroy();
    wxTheApp->Yield();
}
BENCHMARK(BM_StationOptionsSlider)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
