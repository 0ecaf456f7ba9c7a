#include <atomic>
#include <thread>

#include "host/emulated/device_client.h"
#include "host/emulated/device_protocol.h"
#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;
namespace protocol = host::emulated::device_protocol;

namespace {

bool StationAnswers(host::HANDLE device) {
    auto call = Control(device, kFirstStation, Bytes(68));
    return call.Ok && FieldText(call.Reply, 0) == "Station1";
}

}  // namespace

TEST_F(StationdTest, BrokenStreamsLoseOnlyTheirOwnConnection) {
    Start();
    // A bad magic or an oversized frame: RepliesOwedAreSentBeforeTheConnectionCloses.
    RawClient truncated, pipelined;
    ASSERT_TRUE(truncated.Connected() && pipelined.Connected());
    auto good = protocol::EncodeRequest(kFirstStation, Bytes(68).data(), 68);
    truncated.Send(Bytes(good.begin(), good.begin() + 30));
    EXPECT_TRUE(StationAnswers(m_device));
    truncated.Close();
    EXPECT_TRUE(StationAnswers(m_device));

    // An unknown code and a good call in one write: a failure reply, then the answer.
    Bytes both = protocol::EncodeRequest(0xDEAD, "x", 1);
    both.insert(both.end(), good.begin(), good.end());
    pipelined.Send(both);
    EXPECT_EQ(pipelined.Receive(8), Bytes(8, 0));
    Bytes reply = pipelined.Receive(8 + 68);
    ASSERT_EQ(reply.size(), 76u);
    EXPECT_EQ(protocol::GetU32(reply.data()), 1u);
    EXPECT_EQ(protocol::GetU32(reply.data() + 4), 68u);
}

TEST_F(StationdTest, ManyClientsAtOnceAreAllServed) {
    Start();
    constexpr int kThreads = 8, kCalls = 100;
    std::atomic<int> answered{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            host::HANDLE device = host::CreateDeviceFile("\\\\.\\Brakor");
            for (int i = 0; i < kCalls; ++i) answered += StationAnswers(device);
            host::CloseHandle(device);
        });
    }
    // Idle connections meanwhile must not get in the way.
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < 50; ++i) idle.push_back(std::make_unique<RawClient>());
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(answered.load(), kThreads * kCalls);
}

TEST_F(StationdTest, ASlowDaemonTimesOutTheCallWithoutMixingUpLaterRepliesOrHoldingUpOthers) {
    Start({"--slow", "500"});
    host::emulated::SetDeviceReplyTimeout(milliseconds(150));
    EXPECT_FALSE(Control(kFirstStation, Bytes(68)).Ok);
    host::emulated::SetDeviceReplyTimeout(milliseconds(5000));
    // The late 68-byte station reply must not be taken for the driver call's answer.
    auto call = Control(kFirstDriver, Bytes(80));
    ASSERT_TRUE(call.Ok);
    ASSERT_EQ(call.Reply.size(), 80u);
    EXPECT_EQ(DeviceNumber(call.Reply), 0x3AE3);

    // Ten calls sent together are answered together: in sequence they would take 5 s.
    std::vector<std::unique_ptr<RawClient>> clients;
    auto frame = protocol::EncodeRequest(kFirstStation, Bytes(68).data(), 68);
    for (int i = 0; i < 10; ++i) {
        clients.push_back(std::make_unique<RawClient>());
        clients.back()->Send(frame);
    }
    auto begin = std::chrono::steady_clock::now();
    for (auto& client : clients) EXPECT_EQ(client->Receive(76).size(), 76u);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, milliseconds(2500));
}

TEST_F(StationdTest, RepliesOwedAreSentBeforeTheConnectionCloses) {
    Start({"--slow", "50"});
    auto good = protocol::EncodeRequest(kFirstStation, Bytes(68).data(), 68);
    auto oversized = protocol::EncodeRequest(kFirstStation, nullptr, 0);
    protocol::PutU32(oversized.data() + 8, 4097);
    // Two good requests, then a broken frame or the end of the client's side.
    const std::pair<const char*, Bytes> tails[] = {{"bad magic", {'G', 'E', 'T'}}, {"oversized", oversized}, {"end", {}}};
    for (const auto& [name, tail] : tails) {
        RawClient client;
        Bytes stream = good;
        stream.insert(stream.end(), good.begin(), good.end());
        stream.insert(stream.end(), tail.begin(), tail.end());
        client.Send(stream);
        if (tail.empty()) client.ShutdownWrite();
        EXPECT_EQ(client.Receive(2 * 76).size(), 2 * 76u) << name;
        EXPECT_TRUE(client.ClosedByPeer()) << name;
        EXPECT_TRUE(StationAnswers(m_device)) << name << ": other connections stay";
    }
}

TEST_F(StationdTest, IdleConnectionsCannotLockOutACaller) {
    Start();
    // More idle clients than the daemon keeps: the longest idle make way.
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < 600; ++i) idle.push_back(std::make_unique<RawClient>());
    host::HANDLE fresh = host::CreateDeviceFile("\\\\.\\Brakor");
    EXPECT_TRUE(StationAnswers(fresh));
    host::CloseHandle(fresh);
    EXPECT_TRUE(idle.front()->ClosedByPeer());
    // The handle opened before the flood lost its connection unread and quietly takes a new one.
    EXPECT_TRUE(StationAnswers(m_device));
}

TEST(StationdLimits, OutOfFilesItNeitherSpinsNorLocksOutACaller) {
    TempHostRoot root;
    SetUpRegistry();
    RunningStationDrivers daemon({}, /*fileLimit=*/40);
    ASSERT_TRUE(daemon.Started());
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < 80; ++i) idle.push_back(std::make_unique<RawClient>());
    std::this_thread::sleep_for(milliseconds(300));
    // A daemon retrying a failing accept would burn the whole interval.
    auto before = CpuTime(daemon.Pid());
    std::this_thread::sleep_for(milliseconds(1000));
    EXPECT_LT(CpuTime(daemon.Pid()) - before, milliseconds(300));

    host::emulated::SetDeviceReplyTimeout(milliseconds(2000));
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\Brakor");
    EXPECT_TRUE(StationAnswers(device));
    host::CloseHandle(device);
    host::emulated::SetDeviceReplyTimeout(milliseconds(5000));
}
