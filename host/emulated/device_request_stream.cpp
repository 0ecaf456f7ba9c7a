#include "host/emulated/device_request_stream.h"

namespace host::emulated::device_protocol {

void RequestStream::Append(const std::uint8_t* data, std::size_t size) {
    if (m_broken != ParseStatus::NeedMore || size == 0) return;  // nothing after a broken frame counts
    // Drop what was taken before growing, so the buffer stays one frame deep.
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_offset));
    m_offset = 0;
    m_buffer.insert(m_buffer.end(), data, data + size);
}

ParseStatus RequestStream::Next(Request* request) {
    if (m_broken != ParseStatus::NeedMore) return m_broken;
    std::size_t consumed = 0;
    ParseStatus status = ParseRequest(m_buffer.data() + m_offset, Buffered(), request, &consumed);
    if (status == ParseStatus::Complete) {
        m_offset += consumed;
    } else if (status != ParseStatus::NeedMore) {
        m_broken = status;
        m_buffer.clear();
        m_offset = 0;
    }
    return status;
}

}  // namespace host::emulated::device_protocol
