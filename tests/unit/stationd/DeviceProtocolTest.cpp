#include <gtest/gtest.h>

#include "host/emulated/device_protocol.h"
#include "host/emulated/stationd/ControlCodes.h"
#include "station/DriverChannel.h"

namespace protocol = host::emulated::device_protocol;

// The daemon keeps its own copy of the channel's codes and layouts.
static_assert(stationd::kTurnStationOn == IOCTL_V7_TURN_STATION_ON);
static_assert(stationd::kGetFirstStation == IOCTL_V7_GET_FIRST_STATION);
static_assert(stationd::kGetNextStation == IOCTL_V7_GET_NEXT_STATION);
static_assert(stationd::kGetFirstDriver == IOCTL_V7_GET_FIRST_DRIVER);
static_assert(stationd::kGetNextDriver == IOCTL_V7_GET_NEXT_DRIVER);
static_assert(stationd::kTurnStationOff == IOCTL_V7_TURN_STATION_OFF);
static_assert(stationd::kBroadcastMessage == IOCTL_V7_BROADCAST_MESSAGE);
static_assert(stationd::kStationRecordSize == sizeof(StationRecord));
static_assert(stationd::kStationUserOffset == offsetof(StationRecord, UserName));
static_assert(stationd::kDriverRecordSize == sizeof(DriverRecord));
static_assert(stationd::kBroadcastSize == kBroadcastBufferSize);

TEST(DeviceProtocol, EveryPrefixOfAFrameNeedsMore) {
    auto frame = protocol::EncodeRequest(1, "xyz", 3);
    protocol::Request request;
    std::size_t consumed = 0;
    for (std::size_t n = 1; n < frame.size(); ++n)
        EXPECT_EQ(protocol::ParseRequest(frame.data(), n, &request, &consumed), protocol::ParseStatus::NeedMore) << n;
}

TEST(DeviceProtocol, StrangersAndOversizedFramesAreRecognisedEarly) {
    protocol::Request request;
    std::size_t consumed = 0;
    const std::uint8_t wrong[] = {'V', '8'};
    EXPECT_EQ(protocol::ParseRequest(wrong, 2, &request, &consumed), protocol::ParseStatus::BadMagic);

    // The announced size alone decides, before any body byte arrives.
    auto frame = protocol::EncodeRequest(1, nullptr, 0);
    protocol::PutU32(frame.data() + 8, 4097);
    EXPECT_EQ(protocol::ParseRequest(frame.data(), frame.size(), &request, &consumed), protocol::ParseStatus::TooLarge);
    protocol::PutU32(frame.data() + 8, 0xFFFFFFFF);
    EXPECT_EQ(protocol::ParseRequest(frame.data(), frame.size(), &request, &consumed), protocol::ParseStatus::TooLarge);

    std::vector<std::uint8_t> largest(4096, 7);
    auto full = protocol::EncodeRequest(2, largest.data(), 4096);
    EXPECT_EQ(protocol::ParseRequest(full.data(), full.size(), &request, &consumed), protocol::ParseStatus::Complete);
    EXPECT_EQ(consumed, full.size());

    // A reply announcing more than the limit is refused by the client too.
    auto reply = protocol::EncodeReply(true, nullptr, 0);
    protocol::ReplyHeader header;
    EXPECT_TRUE(protocol::DecodeReplyHeader(reply.data(), &header));
    protocol::PutU32(reply.data() + 4, 4097);
    EXPECT_FALSE(protocol::DecodeReplyHeader(reply.data(), &header));
}
