// The window's Windows parts against Windows itself (under Wine here): the
// registry and the stand-in driver followed while the window is open, and one
// running copy per session that a later start brings forward.
#include <gtest/gtest.h>

#include <wx/msw/wrapwin.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/init.h>

#include "app/LiveState.h"
#include "app/SingleInstance.h"
#include "host/win32/standin/standin_control.h"

namespace {

// wx started once for the whole program, as the control center starts it.
class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        wxApp::SetInstance(new wxApp);
        static wxChar name[] = wxT("test_windowseam");
        static wxChar* argv[] = {name, nullptr};
        int argc = 1;
        ASSERT_TRUE(wxEntryStart(argc, argv));
    }
    void TearDown() override { wxEntryCleanup(); }
};
const auto* const g_wx = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

constexpr const wchar_t* kScratchKey = L"Software\\Halvorn\\Orvane\\WindowSeamTest";

void WriteScratch(DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kScratchKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
}

// Runs the queued events until done() or a generous deadline.
bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        wxTheApp->ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    wxTheApp->ProcessPendingEvents();
    return done();
}

TEST(WindowSeamTest, LiveStateFollowsTheRegistryAndTheDriver) {
    ASSERT_TRUE(standin::StartDriver());
    wxEvtHandler window;
    int events = 0;
    window.Bind(EVT_LIVE_STATE, [&](wxThreadEvent&) { ++events; });
    LiveState live(&window);
    EXPECT_TRUE(live.DriversRunning());

    struct Step {
        const char* What;
        std::function<void()> Act;
        bool Running;
    };
    const Step steps[] = {
        {"a value written below the product key", [] { WriteScratch(1); }, true},
        {"a burst of writes", [] { for (DWORD i = 2; i < 12; ++i) WriteScratch(i); }, true},
        {"the driver stopped, then the registry written", [] { ASSERT_TRUE(standin::StopDriver()); WriteScratch(20); },
         false},
        // No write: while the driver is away it is looked for by itself.
        {"the driver started again", [] { ASSERT_TRUE(standin::StartDriver()); }, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.What);
        events = 0;
        step.Act();
        EXPECT_TRUE(PumpUntil([&] { return events > 0 && live.DriversRunning() == step.Running; }));
        // One event per burst: the next only once the window has taken it.
        EXPECT_EQ(events, 1);
        live.Taken();
    }
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kScratchKey);
}

TEST(WindowSeamTest, ALaterCopyBringsTheFirstForwardAndTheSessionEndClosesIt) {
    int activations = 0;
    std::vector<bool> endings;
    auto first = std::make_unique<SingleInstance>(
        std::filesystem::path(), [&] { ++activations; }, [&](bool forced) { endings.push_back(forced); });
    ASSERT_FALSE(first->IsAnotherRunning());
    ASSERT_TRUE(first->Listen()) << first->Problem();

    {
        SingleInstance later({}, [] {});
        EXPECT_TRUE(later.IsAnotherRunning());
        EXPECT_TRUE(later.ActivateRunningCopy());
        EXPECT_TRUE(PumpUntil([&] { return activations == 1; }));
    }
    EXPECT_TRUE(endings.empty());

    // The system asks, then ends the session: only the end closes the windows.
    wxCloseEvent query(wxEVT_QUERY_END_SESSION);
    query.SetCanVeto(true);
    wxTheApp->ProcessEvent(query);
    EXPECT_FALSE(query.GetVeto());
    EXPECT_TRUE(endings.empty());
    wxCloseEvent end(wxEVT_END_SESSION);
    wxTheApp->ProcessEvent(end);
    EXPECT_EQ(endings, std::vector<bool>{false});

    // Once the first has gone, a new start is the first again and finds no one to ask.
    first.reset();
    SingleInstance next({}, [] {});
    EXPECT_FALSE(next.IsAnotherRunning());
    EXPECT_FALSE(next.ActivateRunningCopy());
    EXPECT_EQ(activations, 1);
}

}  // namespace
