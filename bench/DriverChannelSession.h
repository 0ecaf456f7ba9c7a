// The station drivers running on the current host root, with the driver channel
// fed the device handle for the life of the object; what the benchmarks that
// time the channel's operations share.
#pragma once

#include "host/device.h"
#include "station/DriverChannel.h"
#include "support/TempHostRoot.h"

class DriverChannelSession {
public:
    DriverChannelSession() : m_device(host::CreateDeviceFile("\\\\.\\Brakor")) {
        ResetDriverHandleCache();
        const host::HANDLE device = m_device;
        SetDriverHandleSource([device] { return device; });
    }
    ~DriverChannelSession() {
        SetDriverHandleSource(nullptr);
        ResetDriverHandleCache();
        if (Ready()) host::CloseHandle(m_device);
    }
    DriverChannelSession(const DriverChannelSession&) = delete;
    DriverChannelSession& operator=(const DriverChannelSession&) = delete;

    bool Ready() const { return m_daemon.Started() && m_device != host::kInvalidHandle; }

private:
    RunningStationDrivers m_daemon;  // started before the device is opened
    host::HANDLE m_device;
};
