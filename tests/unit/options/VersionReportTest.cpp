// The about text, and the version report against the real station drivers and
// the driver files that "v7-host init" lays down on drive C:.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "host/device.h"
#include "host/emulated/root.h"
#include "options/AboutText.h"
#include "options/VersionReport.h"
#include "station/DriverChannel.h"
#include "support/TempHostRoot.h"

namespace {

constexpr std::uint64_t kMinute = 60'000, kHour = 60 * kMinute, kDay = 24 * kHour;

TEST(AboutText, NamesTheVersionAndTheWholeMinutesOfA64BitRunningTime) {
    EXPECT_EQ(options::AboutText(2 * kDay + 5 * kHour + 9 * kMinute + 59'999),
              "Orvane V7 Version 1.20K\r\n\r\nCopyright \u00A9 Halvorn. All rights reserved.\r\n\r\n"
              "Running for 2 days 05  hours 09 minutes.");
    const std::pair<std::uint64_t, std::string> cases[] = {
        {0, "0 days 00  hours 00"},
        {kDay - 1, "0 days 23  hours 59"},
        {0xFFFF'FFFFull, "49 days 17  hours 02"},  // past the 32-bit count's wrap the time goes on
        {0x1'0000'0000ull + kMinute, "49 days 17  hours 03"},
        {1000 * kDay + 23 * kHour, "1000 days 23  hours 00"},
    };
    for (const auto& [ms, running] : cases)
        EXPECT_TRUE(options::AboutText(ms).ends_with("\r\nRunning for " + running + " minutes.")) << ms;
}

std::string Utf16(const std::string& text) {
    std::string wide;
    for (char c : text) wide += {c, '\0'};
    return wide;
}

// Replaces the first `from` (UTF-16) in a driver file with `to`; an empty
// `from` removes the file.
void Patch(const char* name, const std::string& from, const std::string& to) {
    const auto path = host::emulated::DriveCPath() / "WINDOWS" / "SYSTEM" / name;
    if (from.empty()) return (void)std::filesystem::remove(path);
    std::string bytes = FileBytes(path);
    const auto at = bytes.find(Utf16(from));
    ASSERT_NE(at, std::string::npos) << from;
    std::ofstream(path, std::ios::binary) << bytes.replace(at, from.size() * 2, Utf16(to));
}

TEST(VersionReport, GivesFourLinesInDriverOrderWhateverIsLoadedOrReadable) {
    struct Patched {
        const char *File, *From, *To;
    };
    const struct {
        bool DriversRun;
        std::vector<std::string> Switches;
        std::vector<Patched> Files;
        const char* Expected;
    } cases[] = {
        // Below minor 20 both numbers are hexadecimal; from 20 on decimal.
        {true,
         {"--driver-version", "Brakor=4.10", "--driver-version", "Quorel=2.19", "--driver-version", "Tilvex=4.20",
          "--driver-version", "Dunvek=26.5"},
         {},
         "Brakor.vxd\t4.0A is loaded\t2.30.0.112 in file.\r\nQuorel.vxd\t2.13 is loaded\t2.30.0.112 in file.\r\n"
         "Tilvex.vxd\t4.20 is loaded\t2.30.0.112 in file.\r\nDunvek.vxd\t1A.05 is loaded\t2.30.0.112 in file.\r\n"},
        // Strings under Windows Latin-1 are found too; a block that cannot be
        // found ends the line; a line break in the file stays on the line.
        {true,
         {"--without", "Quorel"},
         {{"Brakor.vxd", "040904B0", "040904E4"}, {"Tilvex.vxd", "VS_VERSION_INFO", "VS_VERSION_INFX"},
          {"Dunvek.vxd", "2.30.0.112", "2.30\r\n.112"}},
         "Brakor.vxd\t2.30 is loaded\t2.30.0.112 in file.\r\nQuorel.vxd\tnot loaded\t2.30.0.112 in file.\r\n"
         "Tilvex.vxd\t2.30 is loaded.\r\nDunvek.vxd\t2.30 is loaded\t2.30  .112 in file.\r\n"},
        {false, {}, {{"Brakor.vxd", "", ""}},
         "Brakor.vxd\tnot loaded.\r\nQuorel.vxd\tnot loaded\t2.30.0.112 in file.\r\n"
         "Tilvex.vxd\tnot loaded\t2.30.0.112 in file.\r\nDunvek.vxd\tnot loaded\t2.30.0.112 in file.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expected);
        InitializedHostRoot root;
        for (const Patched& file : c.Files) Patch(file.File, file.From, file.To);
        std::unique_ptr<RunningStationDrivers> drivers;
        if (c.DriversRun) drivers = std::make_unique<RunningStationDrivers>(c.Switches);
        host::HANDLE handle = host::CreateDeviceFile("\\\\.\\Brakor");
        ResetDriverHandleCache();
        SetDriverHandleSource([handle] { return handle; });
        EXPECT_EQ(options::VersionReport(), c.Expected);
        SetDriverHandleSource(nullptr);
        ResetDriverHandleCache();
        if (handle != host::kInvalidHandle) host::CloseHandle(handle);
    }
}

}  // namespace
