// The device socket of the station drivers: one thread, one poll() loop,
// non-blocking sockets, any number of clients. A client that misbehaves
// (wrong magic, oversized frame, half a frame then gone) loses only its own
// connection. Delayed replies (--slow) wait in a timer queue, so one slow
// answer never holds up another client.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <queue>
#include <string>
#include <vector>

#include "host/emulated/stationd/StationDrivers.h"

namespace stationd {

class DeviceServer {
public:
    DeviceServer(StationDrivers& drivers, std::chrono::milliseconds replyDelay);
    ~DeviceServer();
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Binds the socket (mode 0600), replacing a stale socket file.
    bool Listen(const std::filesystem::path& socketPath, std::string* error);
    // Serves until SIGTERM or SIGINT (returns the signal) or until the drivers
    // power off with the host (returns 0).
    int Run();

private:
    using Clock = std::chrono::steady_clock;

    struct Connection {
        int Fd = -1;
        std::vector<std::uint8_t> In;
        std::vector<std::uint8_t> Out;
        std::size_t Delayed = 0;  // bytes of replies still in the timer queue
    };
    struct PendingReply {
        Clock::time_point Due;
        std::uint64_t Sequence;
        std::uint64_t Connection;
        std::vector<std::uint8_t> Frame;
        bool operator>(const PendingReply& other) const {
            return Due != other.Due ? Due > other.Due : Sequence > other.Sequence;
        }
    };

    void AcceptAll();
    // Each returns false when the connection must be closed.
    bool ReadFrom(std::uint64_t id, Connection& connection);
    bool WriteTo(Connection& connection);
    void Close(std::uint64_t id);
    void Queue(std::uint64_t id, Connection& connection, std::vector<std::uint8_t> frame);
    void DeliverDueReplies();
    int PollTimeoutMs() const;

    StationDrivers& m_drivers;
    std::chrono::milliseconds m_replyDelay;
    std::filesystem::path m_socketPath;
    int m_listenFd = -1;
    std::uint64_t m_nextId = 1;
    std::uint64_t m_nextSequence = 0;
    std::map<std::uint64_t, Connection> m_connections;
    std::priority_queue<PendingReply, std::vector<PendingReply>, std::greater<>> m_pending;
};

}  // namespace stationd
