// The device frames from arbitrary bytes. The first byte chooses how the rest
// is cut into pieces, as a socket might deliver it; the rest is the stream.
// Checked: a request parsed whole is the same as one fed in pieces, every
// complete frame re-encodes to exactly the bytes it was read from, nothing is
// consumed beyond what is there, a broken stream stays broken, and a reply
// header is accepted exactly when it is one.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/emulated/device_protocol.h"
#include "host/emulated/device_request_stream.h"

namespace {

namespace protocol = host::emulated::device_protocol;

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "device_frame_fuzz: %s\n", what);
    std::abort();
}

struct Parsed {
    std::vector<protocol::Request> Requests;
    protocol::ParseStatus End = protocol::ParseStatus::NeedMore;
};

// The stream parsed as one buffer, checking each frame against its bytes.
Parsed ParseWhole(const std::uint8_t* data, std::size_t size) {
    Parsed parsed;
    std::size_t offset = 0;
    for (;;) {
        protocol::Request request;
        std::size_t consumed = 0;
        auto status = protocol::ParseRequest(data + offset, size - offset, &request, &consumed);
        if (status != protocol::ParseStatus::Complete) {
            parsed.End = status;
            if (status == protocol::ParseStatus::NeedMore && size - offset >= protocol::kRequestHeaderSize)
                Check(protocol::GetU32(data + offset + 8) > size - offset - protocol::kRequestHeaderSize,
                      "NeedMore although the whole frame is there");
            return parsed;
        }
        Check(consumed <= size - offset, "consumed more than the buffer holds");
        Check(consumed == protocol::kRequestHeaderSize + request.Body.size(), "consumed is not header plus body");
        Check(request.Body.size() <= protocol::kMaxBodySize, "a body over the limit was accepted");
        auto again = protocol::EncodeRequest(request.Code, request.Body.data(), static_cast<std::uint32_t>(request.Body.size()));
        Check(again.size() == consumed && std::memcmp(again.data(), data + offset, consumed) == 0,
              "a frame does not re-encode to its bytes");
        offset += consumed;
        parsed.Requests.push_back(std::move(request));
    }
}

// The same stream through the daemon's receive buffer, in pieces.
Parsed ParseInPieces(const std::uint8_t* data, std::size_t size, std::uint8_t pattern) {
    Parsed parsed;
    protocol::RequestStream stream;
    std::size_t offset = 0;
    std::uint32_t state = pattern * 2654435761u + 1;
    for (;;) {
        state = state * 1103515245u + 12345u;
        std::size_t piece = pattern == 0 ? 1 : 1 + (state >> 16) % (pattern * 4u + 1);
        piece = std::min(piece, size - offset);
        stream.Append(data + offset, piece);
        offset += piece;
        protocol::Request request;
        protocol::ParseStatus status;
        while ((status = stream.Next(&request)) == protocol::ParseStatus::Complete) parsed.Requests.push_back(request);
        parsed.End = status;
        Check(stream.Buffered() < protocol::kRequestHeaderSize + protocol::kMaxBodySize,
              "the receive buffer keeps more than one partial frame");
        if (status != protocol::ParseStatus::NeedMore) {
            Check(stream.Next(&request) == status, "a broken stream recovered");
            break;
        }
        if (offset == size) break;
    }
    return parsed;
}

bool SameRequests(const Parsed& a, const Parsed& b) {
    if (a.End != b.End || a.Requests.size() != b.Requests.size()) return false;
    for (std::size_t i = 0; i < a.Requests.size(); ++i)
        if (a.Requests[i].Code != b.Requests[i].Code || a.Requests[i].Body != b.Requests[i].Body) return false;
    return true;
}

void CheckReplyHeader(const std::uint8_t* data, std::size_t size) {
    if (size < protocol::kReplyHeaderSize) return;
    protocol::ReplyHeader header;
    bool taken = protocol::DecodeReplyHeader(data, &header);
    std::uint32_t flag = protocol::GetU32(data), announced = protocol::GetU32(data + 4);
    Check(taken == (flag <= 1 && announced <= protocol::kMaxBodySize), "reply header accepted wrongly");
    if (!taken) return;
    std::vector<std::uint8_t> body(header.Size);
    auto again = protocol::EncodeReply(header.Success, body.data(), header.Size);
    Check(std::memcmp(again.data(), data, protocol::kReplyHeaderSize) == 0, "a reply header does not re-encode");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t pattern = data[0];
    const std::uint8_t* stream = data + 1;
    const std::size_t length = size - 1;
    Parsed whole = ParseWhole(stream, length);
    Check(SameRequests(whole, ParseInPieces(stream, length, pattern)), "pieces parse differently from the whole");
    CheckReplyHeader(stream, length);
    return 0;
}
