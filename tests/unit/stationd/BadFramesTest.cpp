#include <atomic>
#include <thread>

#include "host/emulated/device_protocol.h"
#include "unit/stationd/StationdFixture.h"

using namespace stationd_test;
namespace protocol = host::emulated::device_protocol;

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr host::DWORD kFirstStation = 0x220803;

bool StationAnswers(host::HANDLE device) {
    auto call = Control(device, kFirstStation, Bytes(68));
    return call.Ok && FieldText(call.Reply, 0) == "Station1";
}

}  // namespace

TEST_F(StationdTest, BrokenStreamsLoseOnlyTheirOwnConnection) {
    Start();
    RawClient badMagic, oversized, truncated;
    ASSERT_TRUE(badMagic.Connected() && oversized.Connected() && truncated.Connected());

    badMagic.Send({'G', 'E', 'T', ' ', '/', ' ', 'H', 'T', 'T', 'P'});
    EXPECT_TRUE(badMagic.ClosedByPeer());
    EXPECT_TRUE(StationAnswers(m_device));

    auto header = protocol::EncodeRequest(kFirstStation, nullptr, 0);
    protocol::PutU32(header.data() + 8, 4097);
    oversized.Send(header);
    EXPECT_TRUE(oversized.ClosedByPeer());
    EXPECT_TRUE(StationAnswers(m_device));

    auto frame = protocol::EncodeRequest(kFirstStation, Bytes(68).data(), 68);
    truncated.Send(Bytes(frame.begin(), frame.begin() + 30));
    EXPECT_TRUE(StationAnswers(m_device));
    truncated.Close();
    EXPECT_TRUE(StationAnswers(m_device));
}

TEST_F(StationdTest, FailureRepliesKeepARawConnectionInStep) {
    Start();
    RawClient client;
    auto unknown = protocol::EncodeRequest(0xDEAD, "x", 1);
    auto good = protocol::EncodeRequest(kFirstStation, Bytes(68).data(), 68);
    // Pipelined in one write, answered in order.
    Bytes both = unknown;
    both.insert(both.end(), good.begin(), good.end());
    client.Send(both);
    EXPECT_EQ(client.Receive(8), (Bytes{0, 0, 0, 0, 0, 0, 0, 0}));
    Bytes reply = client.Receive(8 + 68);
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
            for (int i = 0; i < kCalls; ++i)
                if (StationAnswers(device)) ++answered;
            host::CloseHandle(device);
        });
    }
    // Idle connections meanwhile must not get in the way.
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < 50; ++i) idle.push_back(std::make_unique<RawClient>());
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(answered.load(), kThreads * kCalls);
    EXPECT_TRUE(StationAnswers(m_device));
}

TEST_F(StationdTest, SlowRepliesDoNotHoldUpOtherClients) {
    Start({"--slow", "500"});
    // Ten calls sent together are answered together: in sequence they would take 5 s.
    std::vector<std::unique_ptr<RawClient>> clients;
    auto frame = protocol::EncodeRequest(kFirstStation, Bytes(68).data(), 68);
    for (int i = 0; i < 10; ++i) {
        clients.push_back(std::make_unique<RawClient>());
        clients.back()->Send(frame);
    }
    for (auto& client : clients) EXPECT_EQ(client->Receive(76, std::chrono::milliseconds(2500)).size(), 76u);
}
