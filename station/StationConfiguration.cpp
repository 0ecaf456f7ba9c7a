#include "station/StationConfiguration.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "host/registry.h"
#include "host/registry_scope.h"
#include "host/text.h"
#include "options/DisplayModeTable.h"
#include "resources/StringTable.h"

namespace {

constexpr unsigned kBoardNotFoundText = 2024;
constexpr unsigned kNoUserText = 2025;
constexpr unsigned kDefaultUserText = 2026;
constexpr unsigned kDefaultStationText = 2027;

// A key of the product opened for the life of one read or write group; a key that
// cannot be opened is absent (null), and nothing creates it here.
class OpenedKey {
public:
    explicit OpenedKey(const std::string& path) {
        if (host::OpenRegKey(host::kLocalMachine, path.c_str(), 0, host::kKeyAllAccess, &m_key) !=
            host::kErrorSuccess)
            m_key = nullptr;
    }
    ~OpenedKey() {
        if (m_key) host::CloseRegKey(m_key);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    host::HKEY Get() const { return m_key; }

private:
    host::HKEY m_key = nullptr;
};

// Queries at most `bytes` bytes (1 or 4) into a zeroed little-endian integer; the
// value's type does not matter, and a longer value is a failed read (0).
host::DWORD ReadSmallValue(host::HKEY key, const char* name, host::DWORD bytes) {
    if (!key) return 0;
    host::BYTE data[4] = {};
    host::DWORD size = bytes;
    if (host::QueryRegValue(key, name, nullptr, data, &size) != host::kErrorSuccess) return 0;
    return data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<host::DWORD>(data[3]) << 24);
}

std::string FormatKeyPath(const char* format, int number) {
    char path[host::kMaxPath] = {};
    std::snprintf(path, sizeof path, format, number);
    return path;
}

}  // namespace

StationConfiguration::StationConfiguration() = default;

template <class T>
bool StationConfiguration::Differs(T StationValues::*field) const {
    return !m_stored || (*m_stored).*field != this->*field;
}

template <class T>
void StationConfiguration::Remember(T StationValues::*field) {
    if (m_stored) (*m_stored).*field = this->*field;
}

void StationConfiguration::PutByte(host::HKEY key, const char* name, unsigned StationValues::*field) {
    if (!key || !Differs(field)) return;
    WriteByteValue(key, name, this->*field);
    Remember(field);
}

void StationConfiguration::PutString(host::HKEY key, const char* name, std::string StationValues::*field) {
    if (!key || !Differs(field)) return;
    WriteStringValue(key, name, this->*field);
    Remember(field);
}

std::string StationConfiguration::BoardKeyPath(int board) { return FormatKeyPath(kBoardKeyFormat, board); }

std::string StationConfiguration::StationKeyPath(int station) {
    return FormatKeyPath(kStationKeyFormat, station);
}

unsigned StationConfiguration::ReadByteValue(host::HKEY key, const char* name) {
    return ReadSmallValue(key, name, 1);
}

host::DWORD StationConfiguration::ReadDwordValue(host::HKEY key, const char* name) {
    return ReadSmallValue(key, name, 4);
}

std::string StationConfiguration::ReadStringValue(host::HKEY key, const char* name, unsigned defaultId) {
    std::string result;
    if (defaultId != 0) res::LoadText(defaultId, result);
    if (!key) return result;
    char buffer[host::kMaxPath] = {};
    host::DWORD size = sizeof buffer;
    if (host::QueryRegValue(key, name, nullptr, reinterpret_cast<host::BYTE*>(buffer), &size) !=
        host::kErrorSuccess)
        return result;
    // A full buffer with no terminator is not a text this store wrote: keep the default.
    const void* nul = std::memchr(buffer, 0, sizeof buffer);
    if (!nul) return result;
    return std::string(buffer, static_cast<std::size_t>(static_cast<const char*>(nul) - buffer));
}

void StationConfiguration::WriteByteValue(host::HKEY key, const char* name, unsigned value) {
    if (!key) return;
    host::BYTE data = static_cast<host::BYTE>(value & 0xFF);
    host::SetRegValue(key, name, host::kRegBinary, &data, 1);
}

void StationConfiguration::WriteDwordValue(host::HKEY key, const char* name, host::DWORD value) {
    if (!key) return;
    host::BYTE data[4] = {static_cast<host::BYTE>(value), static_cast<host::BYTE>(value >> 8),
                          static_cast<host::BYTE>(value >> 16), static_cast<host::BYTE>(value >> 24)};
    host::SetRegValue(key, name, host::kRegBinary, data, sizeof data);
}

void StationConfiguration::WriteStringValue(host::HKEY key, const char* name, const std::string& value) {
    if (!key) return;
    // At most 259 bytes and the terminator, so what is written always reads back;
    // a longer text is cut on a character boundary.
    char buffer[host::kMaxPath] = {};
    std::string_view text(value.c_str());
    std::size_t length = host::CharBoundaryPrefix(text, sizeof buffer - 1);
    std::memcpy(buffer, text.data(), length);
    host::SetRegValue(key, name, host::kRegSz, reinterpret_cast<const host::BYTE*>(buffer),
                        static_cast<host::DWORD>(length + 1));
}

void StationConfiguration::ReadProductValues() {
    OpenedKey key(kProductKey);
    ShutdownEnabled = ReadByteValue(key.Get(), "Shutdown Enabled");
    ShutdownDefault = ReadByteValue(key.Get(), "Shutdown Default");
    StationDisplay = ReadByteValue(key.Get(), "Station Display");
    StationMode = ReadStringValue(key.Get(), "Station Mode", 0);
    RefreshRate = ReadStringValue(key.Get(), "RefreshRate", 0);
}

void StationConfiguration::ReadBoardValues(int board) {
    OpenedKey key(BoardKeyPath(board));
    BoardDetected = ReadByteValue(key.Get(), "Detected");
    BoardLaunched = ReadByteValue(key.Get(), "Launched");
    BoardName = ReadStringValue(key.Get(), "Board Name", kBoardNotFoundText);
}

void StationConfiguration::ReadStationValues(int station) {
    OpenedKey key(StationKeyPath(station));
    StationDetected = ReadByteValue(key.Get(), "Detected");
    StationLaunched = ReadByteValue(key.Get(), "Launched");
    AutoLaunch = ReadByteValue(key.Get(), "AutoLaunch");
    OnLine = ReadByteValue(key.Get(), "OnLine");
    IoHandle = ReadDwordValue(key.Get(), "IO Handle");
    BoardNumber = ReadByteValue(key.Get(), "Board Number");
    CurrentUser = ReadStringValue(key.Get(), "Current User", kNoUserText);
    DefaultUser = ReadStringValue(key.Get(), "Default User", kDefaultUserText);
    StationName = ReadStringValue(key.Get(), "Station Name", kDefaultStationText);
    BaseInit = ReadByteValue(key.Get(), "V7 Base Init");
    KeyboardInit = ReadByteValue(key.Get(), "V7 Keyboard Init");
    MouseInit = ReadByteValue(key.Get(), "V7 Mouse Init");
}

void StationConfiguration::WriteProductValues() {
    {
        OpenedKey key(kProductKey);
        PutByte(key.Get(), "Shutdown Enabled", &StationValues::ShutdownEnabled);
        PutByte(key.Get(), "Shutdown Default", &StationValues::ShutdownDefault);
        if (key.Get() && (!m_stored || m_stored->AutoLaunchEnabled != AutoLaunch)) {
            WriteByteValue(key.Get(), "AutoLaunch Enabled", AutoLaunch);
            if (m_stored) m_stored->AutoLaunchEnabled = AutoLaunch;
        }
        PutByte(key.Get(), "Station Display", &StationValues::StationDisplay);
        PutString(key.Get(), "Station Mode", &StationValues::StationMode);
        PutString(key.Get(), "RefreshRate", &StationValues::RefreshRate);
    }
    host::FlushRegKey(host::kLocalMachine);
}

void StationConfiguration::WriteBoardValues(int board) {
    {
        OpenedKey key(BoardKeyPath(board));
        PutByte(key.Get(), "Detected", &StationValues::BoardDetected);
        PutByte(key.Get(), "Launched", &StationValues::BoardLaunched);
        PutString(key.Get(), "Board Name", &StationValues::BoardName);
    }
    host::FlushRegKey(host::kLocalMachine);
}

void StationConfiguration::WriteStationValues(int station) {
    std::string path = StationKeyPath(station);
    {
        OpenedKey key(path);
        if (!key.Get()) return;
        PutByte(key.Get(), "Detected", &StationValues::StationDetected);
        PutByte(key.Get(), "Launched", &StationValues::StationLaunched);
        PutByte(key.Get(), "AutoLaunch", &StationValues::AutoLaunch);
        PutByte(key.Get(), "OnLine", &StationValues::OnLine);
        if (Differs(&StationValues::IoHandle)) {
            WriteDwordValue(key.Get(), "IO Handle", IoHandle);
            Remember(&StationValues::IoHandle);
        }
        PutByte(key.Get(), "Board Number", &StationValues::BoardNumber);
        PutString(key.Get(), "Current User", &StationValues::CurrentUser);
        PutString(key.Get(), "Default User", &StationValues::DefaultUser);
        PutString(key.Get(), "Station Name", &StationValues::StationName);
    }
    if (m_stored && m_stored->MirroredDisplay == StationDisplay) {
        host::FlushRegKey(host::kLocalMachine);
        return;
    }
    // The mirror flushes the registry when it is done.
    DisplayModeTable::WriteRegistryMirror(path, static_cast<int>(StationDisplay));
    if (m_stored) m_stored->MirroredDisplay = StationDisplay;
}

void StationConfiguration::LoadConfiguration() {
    host::RegistryReadGroup oneLook;
    ReadProductValues();
    ReadBoardValues(kBoardNumber);
    ReadStationValues(kStationNumber);
    Stored stored;
    static_cast<StationValues&>(stored) = *this;
    stored.AutoLaunchEnabled = AutoLaunch;
    stored.MirroredDisplay = StationDisplay;
    m_stored = stored;
}

void StationConfiguration::SaveConfiguration() {
    const std::optional<Stored> before = m_stored;
    host::RegistryTransaction transaction;
    WriteProductValues();
    WriteBoardValues(kBoardNumber);
    WriteStationValues(kStationNumber);
    // Nothing landed: the registry still holds what was known before.
    if (transaction.Commit() != host::kErrorSuccess) m_stored = before;
}

// The station's record in the driver's list; false when it is not there.
static bool FindStationRecord(const std::string& name, StationRecord* record) {
    *record = StationRecord{};
    if (!GetFirstStation(record)) return false;
    // A driver that never ends its list is given up on, like one that fails.
    for (int seen = 1; host::MbsICmp(RecordText(record->Name), name) != 0; ++seen) {
        if (seen >= kMaxListRecords || !GetNextStation(record)) return false;
    }
    return true;
}

std::optional<std::string> StationConfiguration::DriversCurrentUser() const {
    StationRecord record;
    if (!FindStationRecord(StationName, &record)) return std::nullopt;
    return RecordText(record.UserName);
}

int StationConfiguration::RefreshFromDriver() {
    StationRecord record;
    if (!FindStationRecord(StationName, &record)) return 0;
    std::string user = RecordText(record.UserName);
    if (host::MbsICmp(CurrentUser, user) != 0) {
        CurrentUser = user;
        SaveConfiguration();
    }
    LastStationRecord = record;
    return 1;
}
