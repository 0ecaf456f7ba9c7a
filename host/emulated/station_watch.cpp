#include "host/emulated/station_watch.h"

#include <cstring>
#include <string_view>

#include "host/emulated/device_protocol.h"
#include "host/text.h"

namespace host::emulated {

namespace {
constexpr std::size_t kUserOffset = 4;
constexpr std::size_t kUserField = kStationStateSize - kUserOffset;
}  // namespace

std::string EncodeStationState(const StationState& state) {
    std::string body(kStationStateSize, '\0');
    device_protocol::PutU32(reinterpret_cast<std::uint8_t*>(body.data()), state.On ? kStationOnFlag : 0);
    std::string_view user(state.User.c_str());
    std::memcpy(body.data() + kUserOffset, user.data(), host::CharBoundaryPrefix(user, kUserField - 1));
    return body;
}

bool DecodeStationState(const std::uint8_t* body, std::size_t size, StationState* state) {
    if (size != kStationStateSize) return false;
    const char* user = reinterpret_cast<const char*>(body + kUserOffset);
    if (!std::memchr(user, 0, kUserField)) return false;
    state->On = (device_protocol::GetU32(body) & kStationOnFlag) != 0;
    state->User = user;
    return true;
}

}  // namespace host::emulated
