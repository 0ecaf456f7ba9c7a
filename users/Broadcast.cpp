#include "users/Broadcast.h"

#include "host/system.h"
#include "resources/StringTable.h"
#include "station/DriverChannel.h"

namespace users {
namespace {

constexpr unsigned IDS_UNKNOWN_SENDER = 1502;
constexpr unsigned IDS_MESSAGE_FORMAT = 1503;
constexpr const char* kWhiteSpace = " \t\r\n\v\f";

std::string Text(unsigned id) {
    std::string text;
    res::LoadString(id, text);
    return text;
}

// Any of CR LF, lone LF or lone CR becomes CR LF, as the edit control delivers it.
std::string WindowsLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::string TrimWhiteSpace(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return std::string(text.substr(first, last - first + 1));
}

std::size_t CountCharacters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;  // continuation byte of a character counted already
        if (c == '\n' && i > 0 && text[i - 1] == '\r') continue;
        ++count;
    }
    return count;
}

std::string SenderName() {
    char buffer[host::MAX_PATH] = {};
    host::DWORD size = sizeof buffer - 1;  // the last byte stays a terminator
    return SenderNameOf(host::GetUserName(buffer, &size) ? buffer : nullptr);
}

std::string SenderNameOf(const char* loginName) {
    const std::string name = loginName ? TrimWhiteSpace(loginName) : std::string();
    return name.empty() ? Text(IDS_UNKNOWN_SENDER) : name;
}

std::string ComposeMessage(const std::string& sender, std::string_view text) {
    // The two %s are filled in by hand: a '%' in the name or the text stays as typed.
    const std::string format = Text(IDS_MESSAGE_FORMAT);
    const std::string arguments[] = {sender, WindowsLineBreaks(text)};
    std::string out;
    std::size_t used = 0, from = 0;
    for (std::size_t at; (at = format.find("%s", from)) != std::string::npos; from = at + 2) {
        out.append(format, from, at - from);
        if (used < 2) out += arguments[used++];
    }
    out.append(format, from, std::string::npos);
    return out;
}

bool StationIsOn(StationConfiguration& config) {
    config.LoadConfiguration();
    return config.StationLaunched != 0;
}

BroadcastResult SendBroadcast(const std::string& sender, std::string_view text) {
    const std::string message = TrimWhiteSpace(text);
    if (message.empty()) return BroadcastResult::Empty;
    if (CountCharacters(message) > kMaxMessageChars) return BroadcastResult::TooLong;
    return BroadcastMessage(ComposeMessage(sender, message)) ? BroadcastResult::Sent : BroadcastResult::Refused;
}

}  // namespace users
