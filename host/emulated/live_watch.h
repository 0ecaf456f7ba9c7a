// Follows the host root while a program shows its state: the registry's change
// counter (inotify on the root folder) and the station drivers (a watch
// connection to the device, see station_watch.h; the device folder is watched
// for the drivers coming back). One thread sleeps in poll() until one of them
// moves, so a program that follows costs nothing while nothing happens.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "host/emulated/station_watch.h"

namespace host::emulated {

enum class LiveChange { Registry, Drivers };

struct DriversState {
    bool Running = false;  // the drivers answered the watch and are still connected
    StationState Station;  // what they said last, while running
};

class LiveWatch {
public:
    // changed runs on the watch thread: it must only hand the news on.
    explicit LiveWatch(std::function<void(LiveChange)> changed);
    ~LiveWatch();
    LiveWatch(const LiveWatch&) = delete;
    LiveWatch& operator=(const LiveWatch&) = delete;

    // Asks the drivers of this process's host root once (waiting at most a
    // short moment for their answer, so Drivers() is current on return) and
    // starts the thread. False when the registry cannot be watched (a root
    // that is not there); the drivers are followed all the same.
    bool Start(const std::string& deviceName);
    void Stop();

    DriversState Drivers() const;

private:
    void Run();
    void Connect(int waitMs);
    void Disconnect();
    // Reads what the drivers sent; false when the connection ended.
    bool ReadDrivers();
    // Takes the pending inotify events; which of the watched names moved.
    void ReadNotifications(bool* registry, bool* device);
    void SetDrivers(const DriversState& state);

    std::function<void(LiveChange)> m_changed;
    std::string m_counterName;
    std::string m_deviceName;
    int m_inotify = -1;
    int m_rootWatch = -1;
    int m_devWatch = -1;
    int m_stop = -1;  // eventfd: Stop() wakes the thread
    int m_socket = -1;
    std::string m_received;  // the part of a reply frame not yet complete
    int m_retries = 0;  // connections still to try after the socket appeared
    mutable std::mutex m_lock;
    DriversState m_drivers;
    std::thread m_thread;
};

}  // namespace host::emulated
