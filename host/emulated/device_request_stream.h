// The receiving side of one device connection: bytes go in as they arrive,
// whole requests come out. A frame may arrive in any number of pieces; once
// the stream is broken (bad magic, oversized frame) it stays broken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/emulated/device_protocol.h"

namespace host::emulated::device_protocol {

class RequestStream {
public:
    void Append(const std::uint8_t* data, std::size_t size);
    // The next whole request (Complete), NeedMore until one has arrived, or
    // BadMagic/TooLarge from the first broken frame on.
    ParseStatus Next(Request* request);
    // Bytes received and not yet taken as a request: at most one partial frame
    // plus what the last Append brought.
    std::size_t Buffered() const { return m_buffer.size() - m_offset; }

private:
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_offset = 0;  // the front bytes already taken
    ParseStatus m_broken = ParseStatus::NeedMore;
};

}  // namespace host::emulated::device_protocol
