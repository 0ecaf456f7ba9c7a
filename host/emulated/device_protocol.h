// The frames that carry one control call between a device client and the
// station drivers over their Unix socket. Little-endian throughout.
//   request: magic "V7IO", control code (u32), size (u32), that many bytes
//   reply:   success flag (u32), size (u32), that many bytes
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace host::emulated::device_protocol {

inline constexpr char kMagic[4] = {'V', '7', 'I', 'O'};
inline constexpr std::size_t kRequestHeaderSize = 12;
inline constexpr std::size_t kReplyHeaderSize = 8;
// Larger bodies are refused: the receiver closes the connection.
inline constexpr std::uint32_t kMaxBodySize = 4096;

void PutU32(std::uint8_t* at, std::uint32_t value);
std::uint32_t GetU32(const std::uint8_t* at);

std::vector<std::uint8_t> EncodeRequest(std::uint32_t code, const void* body, std::uint32_t size);
std::vector<std::uint8_t> EncodeReply(bool success, const void* body, std::uint32_t size);

struct Request {
    std::uint32_t Code = 0;
    std::vector<std::uint8_t> Body;
};

enum class ParseStatus {
    NeedMore,  // a frame has begun but is not complete yet
    Complete,  // *request holds one frame; *consumed bytes belong to it
    BadMagic,  // the stream is not speaking this protocol
    TooLarge,  // the announced size exceeds kMaxBodySize
};

// Reads one request from the front of a receive buffer. Bad magic and an
// oversized size are reported as soon as their bytes have arrived.
ParseStatus ParseRequest(const std::uint8_t* data, std::size_t size, Request* request,
                         std::size_t* consumed);

struct ReplyHeader {
    bool Success = false;
    std::uint32_t Size = 0;
};

// Decodes the 8-byte reply header; false when the announced size is too large
// or the success flag is neither 0 nor 1.
bool DecodeReplyHeader(const std::uint8_t* header, ReplyHeader* result);

}  // namespace host::emulated::device_protocol
