// One client connection to a device socket: connect, and one request/reply
// exchange bounded by a deadline.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "host/emulated/device_client.h"
#include "host/emulated/device_protocol.h"

namespace host::emulated {

class DeviceConnection {
public:
    explicit DeviceConnection(std::filesystem::path socketPath) : m_socketPath(std::move(socketPath)) {}
    ~DeviceConnection() { Disconnect(); }
    DeviceConnection(const DeviceConnection&) = delete;
    DeviceConnection& operator=(const DeviceConnection&) = delete;

    bool Connect();
    void Disconnect();
    bool Connected() const { return m_fd >= 0; }

    // Sends the request and reads its reply; DeviceFault::None when a reply
    // came. Any failure (no daemon, a broken or garbled stream, no reply
    // before the deadline) drops the connection, so a late reply can never be
    // taken for the answer to a later call. A kept connection that the daemon
    // dropped without reading the request (it sheds idle clients, or was
    // restarted) is replaced once: the request never arrived, so sending it
    // again cannot do anything twice.
    DeviceFault Exchange(const std::vector<std::uint8_t>& request, device_protocol::ReplyHeader* header,
                         std::vector<std::uint8_t>* body, std::chrono::milliseconds timeout);

private:
    enum class Step { Done, Unread, Closed, TimedOut };
    // *unread: the daemon dropped the connection before reading the request.
    DeviceFault ExchangeOnce(const std::vector<std::uint8_t>& request, device_protocol::ReplyHeader* header,
                             std::vector<std::uint8_t>* body, std::chrono::steady_clock::time_point deadline,
                             bool* unread);
    Step SendAll(const std::vector<std::uint8_t>& data, std::chrono::steady_clock::time_point deadline);
    Step ReceiveExactly(std::uint8_t* data, std::size_t size, std::chrono::steady_clock::time_point deadline);

    std::filesystem::path m_socketPath;
    int m_fd = -1;
};

}  // namespace host::emulated
