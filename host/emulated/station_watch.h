// How a client follows the station drivers of the emulated host: a watch
// request on its own connection to \\.\Brakor. It is not one of the main
// driver's control codes and no control call sends it.
//   request: code kWatchStationCode, no bytes
//   reply:   success flag, kStationStateSize bytes: the state now
// From then on the drivers send one more reply frame of the same form
// whenever the station is turned on or off or its user changes; the
// connection closing means the drivers ended. Other requests on a watching
// connection are answered as on any other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace host::emulated {

constexpr std::uint32_t kWatchStationCode = 0x7E570002;
// flags (u32: bit 0 the station is on), then the user the station list
// reports, NUL-terminated in 32 bytes.
constexpr std::size_t kStationStateSize = 36;
constexpr std::uint32_t kStationOnFlag = 1;

struct StationState {
    bool On = false;
    std::string User;
    bool operator==(const StationState& other) const { return On == other.On && User == other.User; }
    bool operator!=(const StationState& other) const { return !(*this == other); }
};

// The body of a watch reply; a text longer than 31 bytes is cut on a
// character boundary.
std::string EncodeStationState(const StationState& state);
// False when the body is not a watch reply.
bool DecodeStationState(const std::uint8_t* body, std::size_t size, StationState* state);

}  // namespace host::emulated
