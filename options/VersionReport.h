// The About box's version report: for each of the four station drivers, the
// version it is loaded with (asked of the main driver) and the version its file
// on drive C: carries. Read afresh on every call.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace options {

struct ReportedDriver {
    const char* FileName;
    std::uint16_t DeviceNumber;  // how the loaded driver is recognised
};

// In report order.
inline constexpr std::array<ReportedDriver, 4> kReportedDrivers{{
    {"Brakor.vxd", 0x3AE3},
    {"Quorel.vxd", 0x3AE4},
    {"Tilvex.vxd", 0x3AE5},
    {"Dunvek.vxd", 0x000D},
}};

// Appends one line: the file name, "\tnot loaded" or "\t2.30 is loaded" (below
// minor 20 both numbers in hexadecimal: "\t4.0A is loaded"), then "\t2.30.0.112
// in file." or "." when the file's version cannot be read, then "\r\n".
void AppendDriverLine(const char* fileName, std::uint16_t deviceNumber, std::string& report);

// The version a driver is loaded with ("2.30"; below minor 20 both numbers in
// hexadecimal: "4.0A"), "" when it is not loaded.
std::string LoadedVersion(std::uint16_t deviceNumber);
// The version its file on drive C: carries ("2.30.0.112"), "" when it cannot be read.
std::string FileVersion(const char* fileName);

// The four lines, in the order of kReportedDrivers.
std::string VersionReport();

}  // namespace options
