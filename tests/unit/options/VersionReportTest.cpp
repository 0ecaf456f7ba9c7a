// The about text and the version report against the real station drivers and
// the driver files that "v7-host init" lays down on drive C:.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/device.h"
#include "host/emulated/root.h"
#include "host/emulated/version_block.h"
#include "options/AboutText.h"
#include "options/VersionReport.h"
#include "station/DriverChannel.h"
#include "support/TempHostRoot.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMinute = 60'000, kHour = 60 * kMinute, kDay = 24 * kHour;

TEST(AboutText, NamesTheVersionAndTheWholeMinutesOfA64BitRunningTime) {
    EXPECT_EQ(options::AboutText(2 * kDay + 5 * kHour + 9 * kMinute + 59'999),
              "Orvane V7 Version 1.20K\r\n\r\nCopyright \u00A9 Halvorn. All rights reserved.\r\n\r\n"
              "Running for 2 days 05  hours 09 minutes.");
    const struct {
        std::uint64_t Milliseconds;
        const char* Running;
    } cases[] = {
        {0, "Running for 0 days 00  hours 00 minutes."},
        {59'999, "Running for 0 days 00  hours 00 minutes."},
        {kDay - 1, "Running for 0 days 23  hours 59 minutes."},
        {10 * kDay + 10 * kHour + 10 * kMinute, "Running for 10 days 10  hours 10 minutes."},
        // Past the 32-bit counter's wrap (2^32 ms): the time goes on growing.
        {0xFFFF'FFFFull, "Running for 49 days 17  hours 02 minutes."},
        {0x1'0000'0000ull + kMinute, "Running for 49 days 17  hours 03 minutes."},
        {1000 * kDay + 23 * kHour, "Running for 1000 days 23  hours 00 minutes."},
    };
    for (const auto& c : cases) {
        const std::string text = options::AboutText(c.Milliseconds);
        EXPECT_EQ(text.substr(text.rfind("\r\n") + 2), c.Running) << c.Milliseconds;
    }
}

// Writes a driver file in C:\WINDOWS\SYSTEM.
void WriteDriverFile(const char* name, const std::string& bytes) {
    std::ofstream(host::emulated::DriveCPath() / "WINDOWS" / "SYSTEM" / name, std::ios::binary) << bytes;
}

std::string ReadDriverFile(const char* name) {
    std::ifstream in(host::emulated::DriveCPath() / "WINDOWS" / "SYSTEM" / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The installer's file with its strings under U.S. English, Windows Latin-1.
void MoveStringsToLatin1Table(const char* name) {
    const std::string unicode("0\0" "4\0" "0\0" "9\0" "0\0" "4\0" "B\0" "0\0", 16);
    const std::string latin1("0\0" "4\0" "0\0" "9\0" "0\0" "4\0" "E\0" "4\0", 16);
    std::string bytes = ReadDriverFile(name);
    const auto at = bytes.find(unicode);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, unicode.size(), latin1);
    WriteDriverFile(name, bytes);
}

// A file whose version string holds a line break.
void WriteVersionWithLineBreak(const char* name) {
    host::emulated::VersionBlockFields fields;
    fields.FileVersion = {2, 30, 0, 0};
    fields.Strings = {{"FileVersion", "2.30\r\nbuild 7\t"}};
    const auto block = host::emulated::BuildVersionBlock(fields);
    WriteDriverFile(name, std::string(64, 'M') + std::string(block.begin(), block.end()));
}

struct ReportCase {
    const char* Name;
    bool DriversRun;
    std::vector<std::string> DriverSwitches;
    std::function<void()> ChangeFiles;
    const char* Expected;
};

class VersionReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(VersionReportTest, GivesFourLinesInDriverOrder) {
    const ReportCase& c = GetParam();
    TempHostRoot root;
    ASSERT_EQ(RunHostTool({"init"}).ExitCode, 0);
    if (c.ChangeFiles) c.ChangeFiles();
    std::unique_ptr<RunningStationDrivers> drivers;
    if (c.DriversRun) drivers = std::make_unique<RunningStationDrivers>(c.DriverSwitches);
    host::HANDLE handle = host::CreateDeviceFile("\\\\.\\Brakor");
    ResetDriverHandleCache();
    SetDriverHandleSource([handle] { return handle; });

    EXPECT_EQ(options::VersionReport(), c.Expected);

    SetDriverHandleSource(nullptr);
    ResetDriverHandleCache();
    if (handle != host::INVALID_HANDLE_VALUE) host::CloseHandle(handle);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, VersionReportTest,
    ::testing::Values(
        ReportCase{"Installed", true, {}, {},
                   "Brakor.vxd\t2.30 is loaded\t2.30.0.112 in file.\r\n"
                   "Quorel.vxd\t2.30 is loaded\t2.30.0.112 in file.\r\n"
                   "Tilvex.vxd\t2.30 is loaded\t2.30.0.112 in file.\r\n"
                   "Dunvek.vxd\t2.30 is loaded\t2.30.0.112 in file.\r\n"},
        // Below minor 20 both numbers are hexadecimal; from 20 on decimal.
        ReportCase{"MinorBelow20IsHexadecimal", true,
                   {"--driver-version", "Brakor=4.10", "--driver-version", "Quorel=2.19", "--driver-version",
                    "Tilvex=4.20", "--driver-version", "Dunvek=26.5"},
                   {},
                   "Brakor.vxd\t4.0A is loaded\t2.30.0.112 in file.\r\n"
                   "Quorel.vxd\t2.13 is loaded\t2.30.0.112 in file.\r\n"
                   "Tilvex.vxd\t4.20 is loaded\t2.30.0.112 in file.\r\n"
                   "Dunvek.vxd\t1A.05 is loaded\t2.30.0.112 in file.\r\n"},
        ReportCase{"MissingDriverAndUnreadableFiles", true,
                   {"--without", "Quorel"},
                   [] {
                       MoveStringsToLatin1Table("Brakor.vxd");
                       WriteDriverFile("Tilvex.vxd", "MZ no version resource here");
                       WriteVersionWithLineBreak("Dunvek.vxd");
                   },
                   "Brakor.vxd\t2.30 is loaded\t2.30.0.112 in file.\r\n"
                   "Quorel.vxd\tnot loaded\t2.30.0.112 in file.\r\n"
                   "Tilvex.vxd\t2.30 is loaded.\r\n"
                   "Dunvek.vxd\t2.30 is loaded\t2.30  build 7  in file.\r\n"},
        ReportCase{"NoDriversAndNoFile", false,
                   {},
                   [] { fs::remove(host::emulated::DriveCPath() / "WINDOWS" / "SYSTEM" / "Brakor.vxd"); },
                   "Brakor.vxd\tnot loaded.\r\n"
                   "Quorel.vxd\tnot loaded\t2.30.0.112 in file.\r\n"
                   "Tilvex.vxd\tnot loaded\t2.30.0.112 in file.\r\n"
                   "Dunvek.vxd\tnot loaded\t2.30.0.112 in file.\r\n"}),
    [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
