// The device socket of the station drivers: one thread, one poll() loop,
// non-blocking sockets, up to kMaxConnections clients. A client that
// misbehaves (wrong magic, oversized frame, half a frame then gone) loses only
// its own connection, and only after the replies to its whole requests went
// out. Delayed replies (--slow) wait in a timer queue, so one slow answer
// never holds up another client; work a request leaves to be done after its
// reply (a program to be ended) is watched by the same loop. When the connection table or the process's
// file table is full, the client heard from least recently makes way, so idle
// connections can never lock a caller out; a watching client (see
// host/emulated/station_watch.h) makes way only after every other one.
#pragma once

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <queue>
#include <string>
#include <vector>

#include "host/emulated/device_request_stream.h"
#include "host/emulated/station_watch.h"
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
    // Serves until SIGTERM or SIGINT (returns the signal) or until the drivers
    // power off with the host (returns 0).
    int Run();

private:
    using Clock = std::chrono::steady_clock;

    struct Connection {
        int Fd = -1;
        host::emulated::device_protocol::RequestStream In;
        std::vector<std::uint8_t> Out;
        std::size_t Delayed = 0;  // bytes of replies still in the timer queue
        // No more requests will be read (the client ended its side or broke
        // the stream); closed once every reply owed has gone out.
        bool Closing = false;
        Clock::time_point LastHeard;  // accepted or last sent us bytes
        bool Watching = false;  // is told of every change of the station
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

    void AcceptAll(Clock::time_point roundStart);
    // Closes the connection heard from least recently before roundStart;
    // false when there is none.
    bool ShedLongestIdle(Clock::time_point roundStart);
    // Takes one waiting client and closes it at once: the last resort when no
    // descriptor is free and no connection can make way.
    void RefuseOne();
    // Each returns false when the connection must be closed.
    bool ReadFrom(std::uint64_t id, Connection& connection);
    bool WriteTo(Connection& connection);
    static bool Finished(const Connection& connection) {
        return connection.Closing && connection.Out.empty() && connection.Delayed == 0;
    }
    void Close(std::uint64_t id);
    void Queue(std::uint64_t id, Connection& connection, std::vector<std::uint8_t> frame);
    void DeliverDueReplies();
    // Resumes the work that is ready (its descriptor at `first` on in the
    // poll set) or due; drops what is done.
    void ResumeWork(const std::vector<pollfd>& fds, std::size_t first);
    int PollTimeoutMs() const;
    host::emulated::StationState CurrentState() const;
    // Sends the station's state to every watching client when it changed.
    void NotifyWatchers();

    StationDrivers& m_drivers;
    std::chrono::milliseconds m_replyDelay;
    std::string m_socketName;
    int m_devFd = -1;      // the dev folder the socket lives in
    int m_listenFd = -1;
    int m_reserveFd = -1;  // held so a full file table still lets RefuseOne accept
    Clock::time_point m_acceptPausedUntil;
    std::uint64_t m_nextId = 1;
    std::uint64_t m_nextSequence = 0;
    std::map<std::uint64_t, Connection> m_connections;
    std::priority_queue<PendingReply, std::vector<PendingReply>, std::greater<>> m_pending;
    std::vector<std::shared_ptr<LaterWork>> m_work;
    host::emulated::StationState m_notified;  // what the watchers were told last
};

}  // namespace stationd
