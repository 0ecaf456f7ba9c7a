#include "options/VersionReport.h"

#include <cstdio>
#include <new>
#include <optional>
#include <vector>

#include "host/version.h"
#include "resources/StringTable.h"
#include "station/DriverChannel.h"

namespace options {
namespace {

constexpr unsigned IDS_NOT_LOADED = 1309;
constexpr unsigned IDS_LOADED_DECIMAL = 1310;
constexpr unsigned IDS_LOADED_HEX = 1311;
constexpr unsigned IDS_FILE_VERSION = 1312;
constexpr unsigned IDS_NO_FILE_VERSION = 1313;

const char* Entry(unsigned id) {
    const char* text = res::FindString(id);
    return text ? text : "";
}

template <typename... Args>
std::string Format(unsigned id, Args... args) {
    const char* format = Entry(id);
    const int size = std::snprintf(nullptr, 0, format, args...);
    if (size <= 0) return {};
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, args...);
    text.pop_back();
    return text;
}

// The first record is examined before any next-record call; a list that never
// ends is given up after kMaxListRecords.
bool FindLoaded(std::uint16_t deviceNumber, DriverRecord& record) {
    host::BOOL found = GetFirstDriver(&record);
    for (int seen = 1; found && record.DeviceNumber() != deviceNumber && seen < kMaxListRecords; ++seen)
        found = GetNextDriver(&record);
    return found && record.DeviceNumber() == deviceNumber;
}

std::string LoadedVersionText(std::uint16_t deviceNumber) {
    DriverRecord record;
    if (!FindLoaded(deviceNumber, record)) return Entry(IDS_NOT_LOADED);
    const unsigned major = record.MajorVersion(), minor = record.MinorVersion();
    return Format(minor < 20 ? IDS_LOADED_HEX : IDS_LOADED_DECIMAL, major, minor);
}

// The file's text goes into a line of its own: control characters (a line
// break would add a line to the report) are shown as blanks.
std::string OneLine(const char* text) {
    std::string line = text;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return line;
}

std::optional<std::string> ReadFileVersion(const char* fileName) {
    host::DWORD handle = 0;
    const host::DWORD size = host::GetVersionInfoSize(fileName, &handle);
    if (size == 0) return std::nullopt;
    std::vector<host::BYTE> block;
    try {
        block.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!host::GetVersionInfo(fileName, handle, size, block.data())) return std::nullopt;
    void* value = nullptr;
    host::UINT length = 0;
    for (const char* path : {"\\StringFileInfo\\040904B0\\FileVersion", "\\StringFileInfo\\040904E4\\FileVersion"})
        if (host::QueryVersionValue(block.data(), path, &value, &length) && value && length > 0)
            return OneLine(static_cast<const char*>(value));
    return std::nullopt;
}

std::string FileVersionText(const char* fileName) {
    const std::optional<std::string> version = ReadFileVersion(fileName);
    return version ? Format(IDS_FILE_VERSION, version->c_str()) : Entry(IDS_NO_FILE_VERSION);
}

}  // namespace

void AppendDriverLine(const char* fileName, std::uint16_t deviceNumber, std::string& report) {
    report += fileName;
    report += LoadedVersionText(deviceNumber);
    report += FileVersionText(fileName);
    report += "\r\n";
}

std::string LoadedVersion(std::uint16_t deviceNumber) {
    DriverRecord record;
    if (!FindLoaded(deviceNumber, record)) return {};
    const unsigned major = record.MajorVersion(), minor = record.MinorVersion();
    char text[16];
    std::snprintf(text, sizeof text, minor < 20 ? "%X.%02X" : "%d.%02d", major, minor);
    return text;
}

std::string FileVersion(const char* fileName) { return ReadFileVersion(fileName).value_or(""); }

std::string VersionReport() {
    std::string report;
    for (const ReportedDriver& driver : kReportedDrivers) AppendDriverLine(driver.FileName, driver.DeviceNumber, report);
    return report;
}

}  // namespace options
