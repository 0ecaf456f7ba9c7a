// "v7-host drivers" and "stations": the lists walked through the running
// station drivers (stopped or broken: MisbehavingDeviceTest).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "host/device.h"
#include "host/emulated/driver_catalog.h"
#include "station/DriverChannel.h"
#include "support/TempHostRoot.h"

namespace {

TEST(DeviceListTest, ListsComeFromTheRunningDrivers) {
    InitializedHostRoot root;
    RunningStationDrivers drivers;
    ASSERT_TRUE(drivers.Started());
    ToolResult r = RunHostTool({"drivers"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    std::string expected;
    for (const auto& d : host::emulated::kDrivers) {
        char line[64];
        std::snprintf(line, sizeof line, "%-10s 0x%04X  %u.%02u\n", d.Name, d.DeviceNumber, d.Major, d.Minor);
        expected += line;
    }
    EXPECT_EQ(r.Out, expected);
    r = RunHostTool({"stations"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("Station1 ", 0), 0u) << r.Out;

    // Turn the station on for Anna through the device, as the control center does.
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\Brakor");
    ASSERT_NE(device, host::kInvalidHandle);
    StationRecord record{};
    std::memcpy(record.Name, "Station1", 9);
    std::memcpy(record.UserName, "Anna", 5);
    host::DWORD returned = 0;
    ASSERT_TRUE(host::DeviceIoControl(device, IOCTL_V7_TURN_STATION_ON, &record, sizeof record, &record,
                                      sizeof record, &returned));
    host::CloseHandle(device);
    r = RunHostTool({"stations"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "Station1         Anna\n");

    // A forced init would pull the registry from under the running drivers.
    r = RunHostTool({"init", "--force"});
    EXPECT_NE(r.ExitCode, 0);
    EXPECT_NE(r.Err.find("station drivers are running"), std::string::npos) << r.Err;
    EXPECT_EQ(RunHostTool({"config"}).ExitCode, 0);
}

}  // namespace
