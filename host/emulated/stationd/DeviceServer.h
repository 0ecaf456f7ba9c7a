// The device socket of the station drivers: one thread, one poll() loop,
// non-blocking sockets, any number of clients. A client that misbehaves
// (wrong magic, oversized frame, half a frame then gone) loses only its own
// connection. Delayed replies (--slow) wait in a timer queue, so one slow
// answer never holds up another client.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <queue>
#include <string>
#include <vector>

#include "host/emulated/stationd/RootFiles.h"
#include "host/emulated/stationd/StationDrivers.h"

namespace stationd {

class DeviceServer {
public:
    DeviceServer(StationDrivers& drivers, std::chrono::milliseconds replyDelay);
    ~DeviceServer();
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Binds the socket (mode 0600) in the root's dev folder, replacing a stale
    // socket or link there (never what a link points to).
    bool Listen(const RootFiles& root, const std::string& name, std::string* error);
    // Serves until SIGTERM or SIGINT; returns the signal that ended it.
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
    std::string m_socketName;
    int m_devFd = -1;  // the dev folder the socket lives in
    int m_listenFd = -1;
    std::uint64_t m_nextId = 1;
    std::uint64_t m_nextSequence = 0;
    std::map<std::uint64_t, Connection> m_connections;
    std::priority_queue<PendingReply, std::vector<PendingReply>, std::greater<>> m_pending;
};

}  // namespace stationd
