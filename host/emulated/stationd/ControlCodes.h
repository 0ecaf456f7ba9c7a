// The main driver's control codes and record sizes. The station drivers live
// in the host layer and do not link the control center's channel, so they keep
// their own copy; a unit test checks it against the channel's.
#pragma once

#include <cstddef>
#include <cstdint>

namespace stationd {

constexpr std::uint32_t kTurnStationOn = 0x220802;
constexpr std::uint32_t kGetFirstStation = 0x220803;
constexpr std::uint32_t kGetNextStation = 0x220804;
constexpr std::uint32_t kGetFirstDriver = 0x22080A;
constexpr std::uint32_t kGetNextDriver = 0x22080B;
constexpr std::uint32_t kTurnStationOff = 0x22080C;
constexpr std::uint32_t kBroadcastMessage = 0x22080D;

constexpr std::size_t kStationRecordSize = 68;
constexpr std::size_t kStationNameOffset = 0;
constexpr std::size_t kStationUserOffset = 32;
constexpr std::size_t kStationTextField = 32;  // NUL-terminated, at most 31 bytes

constexpr std::size_t kDriverRecordSize = 80;
constexpr std::size_t kDriverDeviceNumberOffset = 6;
constexpr std::size_t kDriverMajorOffset = 8;
constexpr std::size_t kDriverMinorOffset = 9;
constexpr std::size_t kDriverNameOffset = 12;
constexpr std::size_t kDriverNameSize = 8;

constexpr std::size_t kBroadcastSize = 256;

}  // namespace stationd
