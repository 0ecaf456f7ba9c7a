// Runs the station drivers on a fresh host root and hands the channel a device
// handle the way the application object does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/device.h"
#include "station/DriverChannel.h"
#include "station/StationConfiguration.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

class StationDriversFixture {
public:
    // The drivers refuse a root without a registry: give it the product's key first.
    // stationOnAtStart sets the station's start-up option, so the drivers turn it on.
    explicit StationDriversFixture(std::vector<std::string> args = {}, bool start = true,
                                   bool stationOnAtStart = false) {
        regtest::MakeKey(kProductKey);
        if (stationOnAtStart)
            regtest::Store(StationConfiguration::StationKeyPath(kStationNumber), "AutoLaunch", host::kRegBinary, {1});
        if (start) m_drivers = std::make_unique<RunningStationDrivers>(std::move(args));
        m_handle = host::CreateDeviceFile("\\\\.\\Brakor");
        ResetDriverHandleCache();
        SetDriverHandleSource([this] { return m_handle; });
        SetDesktopRepaint([this] { ++Repaints; });
    }
    ~StationDriversFixture() {
        SetDriverHandleSource(nullptr);
        SetDesktopRepaint(nullptr);
        ResetDriverHandleCache();
        if (m_handle != host::kInvalidHandle) host::CloseHandle(m_handle);
    }

    bool DriversStarted() const { return m_drivers && m_drivers->Started(); }
    host::HANDLE Handle() const { return m_handle; }
    int Repaints = 0;

private:
    TempHostRoot m_root;
    std::unique_ptr<RunningStationDrivers> m_drivers;
    host::HANDLE m_handle = host::kInvalidHandle;
};
