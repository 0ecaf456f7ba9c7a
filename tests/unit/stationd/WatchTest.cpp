#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "host/emulated/device_protocol.h"
#include "host/emulated/live_watch.h"
#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;
namespace protocol = host::emulated::device_protocol;
using host::emulated::LiveChange;
using host::emulated::LiveWatch;

namespace {

constexpr host::DWORD kWatch = 0x7E570002;

// One watch frame: success, 36 bytes, on flag, the user.
struct Heard {
    bool Ok = false;
    bool On = false;
    std::string User;
};

Heard Hear(RawClient& client) {
    Bytes frame = client.Receive(8 + 36);
    if (frame.size() != 44 || protocol::GetU32(frame.data()) != 1 || protocol::GetU32(frame.data() + 4) != 36) return {};
    return {true, protocol::GetU32(frame.data() + 8) == 1, reinterpret_cast<const char*>(frame.data() + 12)};
}

// Waits (at most 3 s) until the watch's drivers state satisfies done.
template <class Done>
bool Within(LiveWatch& watch, std::mutex& lock, std::condition_variable& woke, Done done) {
    std::unique_lock<std::mutex> guard(lock);
    return woke.wait_for(guard, std::chrono::seconds(3), [&] { return done(watch.Drivers()); });
}

}  // namespace

TEST_F(StationdTest, AWatcherIsToldEveryChangeOfTheStationAndTheDriversEnd) {
    Start();
    RawClient watcher, refused;
    refused.Send(protocol::EncodeRequest(kWatch, "x", 1));
    EXPECT_EQ(refused.Receive(8), Bytes(8, 0)) << "a watch request carries no bytes";

    watcher.Send(protocol::EncodeRequest(kWatch, nullptr, 0));
    Heard first = Hear(watcher);
    EXPECT_TRUE(first.Ok && !first.On && first.User.empty());
    const struct {
        host::DWORD Code;
        const char* User;
        bool On;
    } steps[] = {{kOn, "Anna", true}, {kOff, "", false}, {kOn, "Björn Örtegren-Långström-Xyz", true}};
    for (const auto& step : steps) {
        ASSERT_TRUE(Control(step.Code, StationRecord("Station1", step.User)).Ok);
        // A call that changes nothing is not told: the next frame is the next change.
        ASSERT_TRUE(Control(kFirstStation, Bytes(68)).Ok);
        Heard heard = Hear(watcher);
        EXPECT_TRUE(heard.Ok) << step.User;
        EXPECT_EQ(heard.On, step.On) << step.User;
        EXPECT_EQ(heard.User, StationUser(m_device)) << step.User;
    }
    // The watching connection still answers calls, and many watchers do not lock a caller out.
    watcher.Send(protocol::EncodeRequest(kFirstStation, Bytes(68).data(), 68));
    EXPECT_EQ(watcher.Receive(8 + 68).size(), 76u);
    std::vector<std::unique_ptr<RawClient>> crowd;
    for (int i = 0; i < 600; ++i) crowd.push_back(std::make_unique<RawClient>());
    EXPECT_TRUE(Control(kFirstStation, Bytes(68)).Ok);
    EXPECT_FALSE(watcher.ClosedByPeer()) << "idle callers make way before a watcher";
    crowd.clear();

    m_daemon->Stop();
    EXPECT_TRUE(watcher.ClosedByPeer());
}

TEST_F(StationdTest, LiveWatchFollowsTheRegistryAndTheDriversComingAndGoing) {
    Start();
    std::mutex lock;
    std::condition_variable woke;
    int registryChanges = 0;
    LiveWatch watch([&](LiveChange change) {
        std::lock_guard<std::mutex> guard(lock);
        if (change == LiveChange::Registry) ++registryChanges;
        woke.notify_all();
    });
    ASSERT_TRUE(watch.Start("Brakor"));
    EXPECT_TRUE(watch.Drivers().Running) << "known when Start returns";

    SetUpRegistry(true, "Cleo");
    {
        std::unique_lock<std::mutex> guard(lock);
        EXPECT_TRUE(woke.wait_for(guard, std::chrono::seconds(3), [&] { return registryChanges > 0; }));
    }
    ASSERT_TRUE(Control(kOn, StationRecord("Station1", "Cleo")).Ok);
    EXPECT_TRUE(Within(watch, lock, woke, [](const host::emulated::DriversState& s) {
        return s.Running && s.Station.On && s.Station.User == "Cleo";
    }));

    // Killed, the drivers leave their socket behind; started again, they replace it.
    kill(m_daemon->Pid(), SIGKILL);
    m_daemon->Stop();
    EXPECT_TRUE(Within(watch, lock, woke, [](const auto& s) { return !s.Running; }));
    m_daemon = std::make_unique<RunningStationDrivers>();
    EXPECT_TRUE(Within(watch, lock, woke, [](const auto& s) { return s.Running && s.Station.On; }))
        << "AutoLaunch turned the station on again";
}
