// The drivers' watch request: the client that asks is told each change of
// the station on its connection, and the connection's end is the drivers' end.
// (The window's side of it: tests/gui/main_window_test.cpp.)
#include <cstring>

#include "host/emulated/device_protocol.h"
#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;
namespace protocol = host::emulated::device_protocol;

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
    const char* user = reinterpret_cast<const char*>(frame.data() + 12);
    return {true, protocol::GetU32(frame.data() + 8) == 1, std::string(user, strnlen(user, 32))};
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
