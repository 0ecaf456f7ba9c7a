// A fresh host root with its registry set up, the real daemon on it and one
// open device handle.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/device.h"
#include "support/TempHostRoot.h"
#include "unit/stationd/StationdHarness.h"

class StationdTest : public ::testing::Test {
protected:
    void Start(std::vector<std::string> args = {}, bool autoLaunch = false, const char* defaultUser = nullptr) {
        stationd_test::SetUpRegistry(autoLaunch, defaultUser);
        m_daemon = std::make_unique<RunningStationDrivers>(std::move(args));
        ASSERT_TRUE(m_daemon->Started());
        m_device = host::CreateDeviceFile("\\\\.\\Brakor");
        ASSERT_NE(m_device, host::INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (m_device != host::INVALID_HANDLE_VALUE) host::CloseHandle(m_device);
        m_daemon.reset();
    }
    stationd_test::Call Control(host::DWORD code, std::vector<std::uint8_t> buffer) {
        return stationd_test::Control(m_device, code, std::move(buffer));
    }
    stationd_test::Call Control(host::HANDLE device, host::DWORD code, std::vector<std::uint8_t> buffer) {
        return stationd_test::Control(device, code, std::move(buffer));
    }

    TempHostRoot m_root;
    std::unique_ptr<RunningStationDrivers> m_daemon;
    host::HANDLE m_device = host::INVALID_HANDLE_VALUE;
};
