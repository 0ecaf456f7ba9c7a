// The control center's main window: start-up with and without the drivers, a
// damaged registry, the message routine, the menu, the ways out, and the raise
// endpoint (later copies of the real program: tests/e2e/single_instance.sh).
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include <pango/pangocairo.h>

#include "GuiTest.h"
#include "app/DisplayFontSettings.h"
#include "app/InstanceEndpoint.h"
#include "app/MainMenu.h"
#include "app/SingleInstance.h"
#include "app/StartupWarmUp.h"
#include "host/emulated/root.h"
#include "station/DriverChannel.h"

namespace {

using namespace guitest;

class MainWindowTest : public GuiTest {};

// What the panel's On/Off pair shows: "on" (Off usable), "off" (On usable),
// "no drivers" (both greyed, neither lit, and the panel says why), or "mixed".
std::string PowerPair(CMainFrame* frame) {
    CV7View* view = frame->GetActiveView();
    CPictureButton* on = view->Button(CV7View::IDC_ON);
    CPictureButton* off = view->Button(CV7View::IDC_OFF);
    const bool said = view->DriversState()->IsShown();
    if (on->IsDimmed() && off->IsDimmed() && !on->IsEnabled() && !off->IsEnabled() && said) return "no drivers";
    if (on->IsDimmed() || off->IsDimmed() || said || on->IsEnabled() == off->IsEnabled()) return "mixed";
    return off->IsEnabled() ? "on" : "off";
}

// Processor time this process has used, every thread, in nanoseconds: exact,
// where the clock ticks of /proc count a boundary crossed by any small work.
long long CpuNanoseconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return used.tv_sec * 1'000'000'000LL + used.tv_nsec;
}

// How often a thread of this process went to sleep by itself: a loop that
// polls, however cheap each turn, wakes and sleeps again at every turn.
long Wakeups() {
    long total = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) total += std::stol(line.substr(24));
    }
    return total;
}

// What other programs did to the host: its registry's change counter and the
// drivers' log. While they change, the window has work and is not idle.
std::string HostActivity() {
    std::string seen;
    for (const std::filesystem::path& file :
         {std::filesystem::path(host::emulated::RegistryPath().string() + "-gen"), host::emulated::StationLogPath()}) {
        std::ifstream in(file, std::ios::binary);
        seen += std::string(std::istreambuf_iterator<char>(in), {}) + '\0';
    }
    return seen;
}

// Recorded as on, but the drivers are gone: the program still runs, and a
// failed Turn Off puts the recorded state back.
TEST_F(MainWindowTest, WithoutDriversTheMessageComesBeforeTheWindowThenTheProgramRuns) {
    InstallStation();
    StationConfiguration config;
    config.LoadConfiguration();
    config.StationLaunched = config.BoardLaunched = 1;
    config.CurrentUser = "Bertil";
    config.SaveConfiguration();

    CMainFrame* frame = nullptr;
    auto noWindowYet = [] { EXPECT_EQ(FindMainFrame(), nullptr) << "window up before the message"; };
    wxTEST_DIALOG(frame = StartProgram(), ExpectMessageBox(Text(2011), wxOK, noWindowYet));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(frame->GetTitle().utf8_string(), "Orvane V7 Control Center");
    EXPECT_EQ(wxGetApp().m_hDriver, host::kInvalidHandle);
    // A fixed size: no sizing border, no maximise box.
    EXPECT_FALSE(frame->HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(frame->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_TRUE(frame->HasFlag(wxMINIMIZE_BOX));
    // The window's icons: every title-bar and task-bar size, nothing larger.
    std::vector<int> iconSizes;
    const wxIconBundle& icons = frame->GetIcons();
    for (std::size_t i = 0; i < icons.GetIconCount(); ++i) iconSizes.push_back(icons.GetIconByIndex(i).GetWidth());
    EXPECT_EQ(iconSizes, (std::vector<int>{16, 24, 32, 48, 64}));

    // Recorded as on, but nothing answers: never shown as on.
    EXPECT_EQ(PowerPair(frame), "no drivers");

    wxTEST_DIALOG(frame->OnStationOff(), ExpectMessageBox(Text(2012), wxYES), ExpectMessageBox(Text(2013), wxOK));
    EXPECT_EQ(LaunchedValues(), std::make_pair(1, 1));
    EXPECT_EQ(TextValue(StationConfiguration::StationKeyPath(kStationNumber), "Current User"), "Bertil");

    // The drivers come later: the window follows, and its channel reaches them.
    StartDrivers();
    EXPECT_TRUE(PumpUntil([&] { return PowerPair(frame) == "off"; }, 0.5)) << PowerPair(frame);
    frame->OnStationOn();
    EXPECT_EQ(PowerPair(frame), "on");
}

// Changes by other programs show within half a second, the drivers' end too;
// between them the window costs no processor time at all.
TEST_F(MainWindowTest, TheWindowFollowsChangesBehindItsBackAndIdlesAtNoCost) {
    CMainFrame* frame = Launch();
    ASSERT_NE(frame, nullptr);
    const std::string import = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" +
                               StationConfiguration::StationKeyPath(kStationNumber) + "]\n\"Launched\"=hex:01\n";
    const struct {
        const char* Name;
        std::function<void()> Act;
        const char* Shows;
    } steps[] = {
        {"reg import", [&] { EXPECT_EQ(regtest::Import(import).ExitCode, 0); }, "on"},
        {"v7ctl off", [] { EXPECT_EQ(RunV7ctl({"off", "--yes"}).ExitCode, 0); }, "off"},
        {"v7ctl on", [] { EXPECT_EQ(RunV7ctl({"on"}).ExitCode, 0); }, "on"},
        {"drivers killed", [&] { kill(m_drivers->Pid(), SIGKILL); }, "no drivers"},
        {"drivers back", [&] { StartDrivers(); }, "off"},
    };
    for (const auto& step : steps) {
        ASSERT_NE(PowerPair(frame), step.Shows) << step.Name;
        step.Act();
        EXPECT_TRUE(PumpUntil([&] { return PowerPair(frame) == step.Shows; }, 0.5))
            << step.Name << ": " << PowerPair(frame);
    }

    // Ten quiet seconds: less than one clock tick of processor time (the test's
    // own timer costs about half a millisecond), and no thread waking to look.
    // Another program's late write (the drivers' start on a loaded machine) is
    // work, so the quiet seconds start again after it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        PumpEvents();
        // Counted from inside the loop, once entering it has settled.
        std::string activity;
        long long cpu = 0;
        long wakeups = 0;
        wxGUIEventLoop idle;
        wxTimer start, end;
        start.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            activity = HostActivity();
            cpu = CpuNanoseconds();
            wakeups = Wakeups();
            end.StartOnce(10000);
        });
        end.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { idle.Exit(); });
        start.StartOnce(1000);
        idle.Run();
        const long long used = CpuNanoseconds() - cpu;
        const long woken = Wakeups() - wakeups;
        if (HostActivity() != activity) continue;
        EXPECT_LT(used, 10'000'000) << "the window used the processor while nothing happened";
        EXPECT_LE(woken, 3) << "a thread of the window kept waking up";  // the end timer: 1
        return;
    }
    ADD_FAILURE() << "the host never stayed quiet for ten seconds";
}

TEST_F(MainWindowTest, DamagedRegistryIsReportedOnceAndLeftAsItIs) {
    const std::string garbage(8192, 'x');
    std::ofstream(host::emulated::RegistryPath(), std::ios::binary) << garbage;
    CMainFrame* frame = nullptr;
    wxTEST_DIALOG(frame = StartProgram(), ExpectMessageBox(Text(2011), wxOK),
                  ExpectMessageBox("registry", wxOK, {}, /*partial=*/true));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Configuration().StationLaunched, 0u);
    EXPECT_EQ(FileBytes(host::emulated::RegistryPath()), garbage);
}

TEST_F(MainWindowTest, ShowMessageUsesTheStringTableOrSaysWhichEntryIsMissing) {
    ASSERT_EQ(res::FindString(4242), nullptr);
    wxTEST_DIALOG(wxGetApp().ShowMessage(4242), ExpectMessageBox("Fail to load resource 4242 !", wxOK));
    wxTEST_DIALOG(wxGetApp().ShowMessage(2009), ExpectMessageBox("Did not turn on the V7 station successfully.", wxOK));
}

// The bar is built from the menu layout: every pop-up and item in order, each
// with its command's ID and kind. Station off: everything works but Off.
TEST_F(MainWindowTest, MenuHoldsEveryItemInOrderAndOnlyWhatWorksCanBePicked) {
    CMainFrame* frame = Launch();
    ASSERT_NE(frame, nullptr);
    wxMenuBar* bar = frame->GetMenuBar();
    const auto layout = mainmenu::Layout();
    ASSERT_EQ(bar->GetMenuCount(), layout.size());
    for (size_t i = 0; i < layout.size(); ++i) {
        SCOPED_TRACE(layout[i].Title);
        EXPECT_EQ(bar->GetMenuLabel(i).utf8_string(), layout[i].Title);
        const wxMenuItemList& items = bar->GetMenu(i)->GetMenuItems();
        ASSERT_EQ(items.size(), layout[i].Items.size());
        auto item = items.begin();
        for (const mainmenu::Item& want : layout[i].Items) {
            wxMenuItem* got = *item++;
            SCOPED_TRACE(want.Text);
            ASSERT_EQ(got->IsSeparator(), want.Kind == mainmenu::ItemKind::Separator);
            if (got->IsSeparator()) continue;
            EXPECT_EQ(cmd::ToSystemCommand(got->GetId()), want.Command);
            EXPECT_EQ(got->GetItemLabel().utf8_string(), want.Text);
            EXPECT_EQ(got->GetKind() == wxITEM_RADIO, want.Kind == mainmenu::ItemKind::Radio);
            EXPECT_EQ(IsMenuItemEnabled(frame, want.Command), want.Command != cmd::ID_STATION_OFF);
        }
    }
    // The Options pop-up's marks: tests/gui/options_test.cpp.

    // The items' marks and greying after a change: tests/gui/power_test.cpp.
    ASSERT_TRUE(PickMenuCommand(frame, cmd::ID_STATION_ON));
    EXPECT_EQ(LaunchedValues(), std::make_pair(1, 1));

    // The help commands open the book (Help Using Help through the application).
    ASSERT_TRUE(PickMenuCommand(frame, cmd::ID_HELP_FINDER));
    EXPECT_EQ(ShownHelpPage(), "welcome.htm");
    ASSERT_TRUE(PickMenuCommand(frame, cmd::ID_HELP_USING));
    EXPECT_EQ(ShownHelpPage(), "using-help.htm");
}

// Each way out closes the window from the event loop (never inside the handler
// that asked) and asks nothing; the driver handle closes with the program
// (Ctrl+X: tests/e2e/power_on_click.sh).
TEST_F(MainWindowTest, WithDriversTheProgramRunsUntilExitOrCloseAndThenLetsTheDriverGo) {
    InstallStation();
    StartDrivers();
    const std::pair<const char*, std::function<void(CMainFrame*)>> ways[] = {
        {"File > Exit", [](CMainFrame* frame) { EXPECT_TRUE(PickMenuCommand(frame, cmd::ID_EXIT)); }},
        {"close box", [](CMainFrame* frame) { frame->Close(); }},
        {"Exit button", [](CMainFrame* frame) { ClickWithMouse(frame->GetActiveView()->Button(CV7View::IDC_EXIT)); }},
    };
    for (const auto& [name, way] : ways) {
        SCOPED_TRACE(name);
        CMainFrame* frame = StartProgram();
        ASSERT_NE(frame, nullptr);
        StationRecord record{};
        EXPECT_NE(GetFirstStation(&record), 0) << "the channel does not reach the drivers";
        wxWeakRef<CMainFrame> alive(frame);
        way(frame);
        EXPECT_TRUE(alive) << "closed before the handler returned";
        EXPECT_TRUE(PumpUntil([&] { return !alive; }, 5)) << "the main window did not close";
        EXPECT_TRUE(wxTopLevelWindows.empty());
        EndProgram();
        // The channel must not keep using the closed handle.
        EXPECT_EQ(wxGetApp().m_hDriver, host::kInvalidHandle);
        EXPECT_EQ(GetDriverHandle(), host::kInvalidHandle);
        EXPECT_EQ(TurnStationOn(&record), 1);
    }
}

// The start-up's font warm-up hands its font map to the UI thread when the
// window is built; a warm-up nobody adopts ends without harm.
TEST_F(MainWindowTest, TheWindowAdoptsTheWarmedUpFonts) {
    { StartupWarmUp unused("File", ReadDisplayFontSettings()); }
    PangoFontMap* before = pango_cairo_font_map_get_default();
    ASSERT_NE(Launch(), nullptr);
    PangoFontMap* adopted = pango_cairo_font_map_get_default();
    EXPECT_NE(adopted, before);
}

TEST_F(MainWindowTest, OnlyTheActivationRequestBringsTheRunningCopyForward) {
    int activations = 0;
    SingleInstance first(m_root->Path(), [&] { ++activations; });
    ASSERT_TRUE(first.Listen());
    auto connectPeer = [&] {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_un address = UnixAddress(SingleInstance::EndpointPath(m_root->Path()));
        EXPECT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        return fd;
    };
    auto send = [&](const std::string& bytes) {
        int fd = connectPeer();
        ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(fd);
    };
    // Nothing, a part, the wrong words, too much: each peer closes after it.
    for (const std::string& junk : {std::string(), std::string("Activat"), std::string("Hello, not a request\n"),
                                    std::string(100000, 'A'), std::string("Activate\nActivate\n")})
        send(junk);
    PumpUntil([] { return false; }, 0.5);
    EXPECT_EQ(activations, 0);

    // Peers that connect and never send, more than the endpoint keeps: the
    // oldest are closed, and a real request still gets through.
    std::vector<int> silent;
    for (std::size_t i = 0; i < InstanceEndpoint::kMaxPending + 4; ++i) silent.push_back(connectPeer());
    auto closedByTheProgram = [&] {
        int closed = 0;
        for (int fd : silent) {
            char byte;
            closed += recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
        }
        return closed;
    };
    EXPECT_TRUE(PumpUntil([&] { return closedByTheProgram() >= 4; }, 5)) << "silent peers are kept without bound";
    send(SingleInstance::kActivate);
    EXPECT_TRUE(PumpUntil([&] { return activations == 1; }, 5));
    EXPECT_EQ(closedByTheProgram(), 5);
    for (int fd : silent) close(fd);
}

}  // namespace
