// The control channel to the main station driver: seven control calls on the
// one device handle the application opens at start-up, and the records they carry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "host/types.h"

// The record of one station, exchanged with the driver.
struct StationRecord {
    char Name[32];       // NUL-terminated, at most 31 bytes
    char UserName[32];   // the default user in a turn-on request; the current user in a reply
    std::uint32_t Reserved;
};
static_assert(sizeof(StationRecord) == 68);
static_assert(offsetof(StationRecord, UserName) == 32);
static_assert(offsetof(StationRecord, Reserved) == 64);

// The record of one loaded virtual device driver (a copy of its Device
// Descriptor Block). Only the device number and the version are read.
struct DriverRecord {
    std::uint8_t Bytes[80];

    std::uint16_t DeviceNumber() const { return static_cast<std::uint16_t>(Bytes[6] | (Bytes[7] << 8)); }
    std::uint8_t MajorVersion() const { return Bytes[8]; }
    std::uint8_t MinorVersion() const { return Bytes[9]; }
};
static_assert(sizeof(DriverRecord) == 80);

constexpr host::DWORD IOCTL_V7_TURN_STATION_ON = 0x220802;
constexpr host::DWORD IOCTL_V7_GET_FIRST_STATION = 0x220803;
constexpr host::DWORD IOCTL_V7_GET_NEXT_STATION = 0x220804;
constexpr host::DWORD IOCTL_V7_GET_FIRST_DRIVER = 0x22080A;
constexpr host::DWORD IOCTL_V7_GET_NEXT_DRIVER = 0x22080B;
constexpr host::DWORD IOCTL_V7_TURN_STATION_OFF = 0x22080C;
constexpr host::DWORD IOCTL_V7_BROADCAST_MESSAGE = 0x22080D;

constexpr std::size_t kBroadcastBufferSize = 256;

// Device numbers of the drivers the control center looks up.
constexpr std::uint16_t kBrakorDevice = 0x3AE3;
constexpr std::uint16_t kQuorelDevice = 0x3AE4;
constexpr std::uint16_t kTilvexDevice = 0x3AE5;
constexpr std::uint16_t kDunvekDevice = 0x000D;
constexpr std::uint16_t kVflatdDevice = 0x011F;

// A walk of the station or driver list gives up after this many records, so a
// driver that never ends its list cannot hang the program.
constexpr int kMaxListRecords = 4096;

// Where GetDriverHandle finds the application's handle. The application object
// installs its source at start-up; until then (and in programs without one) the
// handle is INVALID_HANDLE_VALUE.
void SetDriverHandleSource(std::function<host::HANDLE()> source);
// Called after each successful turn-on to repaint the whole desktop.
void SetDesktopRepaint(std::function<void()> repaint);

// The cached device handle; reads the application's handle while the cache is unset.
host::HANDLE GetDriverHandle();
// Forgets the cached handle (the application closed it).
void ResetDriverHandleCache();

// Each call fails unless the driver says yes with a reply of the record's full size.
// 0 = the station was turned on (the desktop has been repainted); 1 = failure.
int TurnStationOn(StationRecord* record);
// The others: nonzero = success.
host::BOOL GetFirstStation(StationRecord* record);
host::BOOL GetNextStation(StationRecord* record);
host::BOOL GetFirstDriver(DriverRecord* record);
host::BOOL GetNextDriver(DriverRecord* record);
host::BOOL TurnStationOff(StationRecord* record);
// Sends the text in a 256-byte buffer that always ends with a terminator: a text
// longer than 255 bytes is cut there, on a character boundary.
host::BOOL BroadcastMessage(const std::string& text);

// 1 when a loaded driver carries the device number, 0 when none does or the
// list cannot be read.
int IsDriverLoaded(std::uint16_t deviceNumber);

// Copies at most 31 bytes of text into a 32-byte field, cut on a character
// boundary (UTF-8), always terminated; the rest of the field is zero.
void CopyRecordText(char (&field)[32], const std::string& text);
// Reads a 32-byte field as at most 31 bytes, whether terminated or not.
std::string RecordText(const char (&field)[32]);
