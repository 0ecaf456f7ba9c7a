// A short message to the person at the V7 Station, as the window and v7ctl
// both send it: headed with the sender's user name, line breaks as CR LF, and
// handed to the drivers in their 256-byte buffer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "station/StationConfiguration.h"

namespace users {

// The longest message a person may type, in bytes as it is sent: UTF-8, each
// line break a CR LF pair (2 bytes).
constexpr std::size_t kMaxMessageBytes = 200;

enum class BroadcastResult {
    Sent,        // the drivers took the message
    StationOff,  // the station is not turned on: nobody to send it to
    Empty,       // nothing but white space: nothing was sent
    TooLong,     // over kMaxMessageBytes: nothing was sent
    Refused,     // the drivers did not take it (or are not reachable)
};

// Blanks, tabs, CR, LF, VT and FF removed at both ends.
std::string TrimWhiteSpace(std::string_view text);

// Bytes of the text once its line breaks are CR LF: a CR LF pair, a lone LF
// and a lone CR each count 2.
std::size_t MessageBytes(std::string_view text);

// The login user's name, trimmed; "Unknown" when it cannot be read or is blank.
std::string SenderName();
// The same for a name already read (null: none could be read).
std::string SenderNameOf(const char* loginName);

// "From:  <sender>\n\n<text>" with every line break of the text as CR LF. The
// text is never cut: when the whole would not fit the drivers' buffer with its
// terminator, the sender's name is shortened (on a character boundary) to fit.
std::string ComposeMessage(const std::string& sender, std::string_view text);

// Reloads the configuration; true while the station is recorded as on.
bool StationIsOn(StationConfiguration& config);

// Trims the text, checks it and sends it from sender. The caller has checked
// that the station is on (StationIsOn) before asking for the text.
BroadcastResult SendBroadcast(const std::string& sender, std::string_view text);

}  // namespace users
