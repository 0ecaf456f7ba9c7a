#include "host/emulated/device_protocol.h"

#include <algorithm>
#include <cstring>

namespace host::emulated::device_protocol {

void PutU32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

namespace {

std::vector<std::uint8_t> Frame(std::size_t headerSize, const void* body, std::uint32_t size) {
    std::vector<std::uint8_t> frame(headerSize + size);
    if (size > 0) std::memcpy(frame.data() + headerSize, body, size);
    return frame;
}

}  // namespace

std::vector<std::uint8_t> EncodeRequest(std::uint32_t code, const void* body, std::uint32_t size) {
    auto frame = Frame(kRequestHeaderSize, body, size);
    std::memcpy(frame.data(), kMagic, 4);
    PutU32(frame.data() + 4, code);
    PutU32(frame.data() + 8, size);
    return frame;
}

std::vector<std::uint8_t> EncodeReply(bool success, const void* body, std::uint32_t size) {
    auto frame = Frame(kReplyHeaderSize, body, size);
    PutU32(frame.data(), success ? 1 : 0);
    PutU32(frame.data() + 4, size);
    return frame;
}

ParseStatus ParseRequest(const std::uint8_t* data, std::size_t size, Request* request,
                         std::size_t* consumed) {
    if (size == 0) return ParseStatus::NeedMore;
    // Check whatever part of the magic has arrived, so a stranger is turned
    // away without waiting for a full header.
    if (std::memcmp(data, kMagic, std::min<std::size_t>(size, 4)) != 0) return ParseStatus::BadMagic;
    if (size < kRequestHeaderSize) return ParseStatus::NeedMore;
    std::uint32_t bodySize = GetU32(data + 8);
    if (bodySize > kMaxBodySize) return ParseStatus::TooLarge;
    if (size < kRequestHeaderSize + bodySize) return ParseStatus::NeedMore;
    request->Code = GetU32(data + 4);
    request->Body.assign(data + kRequestHeaderSize, data + kRequestHeaderSize + bodySize);
    *consumed = kRequestHeaderSize + bodySize;
    return ParseStatus::Complete;
}

bool DecodeReplyHeader(const std::uint8_t* header, ReplyHeader* result) {
    result->Success = GetU32(header) != 0;
    result->Size = GetU32(header + 4);
    // Any other flag is not a reply of this protocol.
    return GetU32(header) <= 1 && result->Size <= kMaxBodySize;
}

}  // namespace host::emulated::device_protocol
