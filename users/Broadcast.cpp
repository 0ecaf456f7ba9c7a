#include "users/Broadcast.h"

#include "host/system.h"
#include "host/text.h"
#include "resources/StringTable.h"
#include "station/DriverChannel.h"
#include "users/MessageText.h"

namespace users {
namespace {

constexpr unsigned IDS_UNKNOWN_SENDER = 1502;
constexpr unsigned IDS_MESSAGE_FORMAT = 1503;
constexpr const char* kWhiteSpace = " \t\r\n\v\f";

std::string Text(unsigned id) {
    std::string text;
    res::LoadText(id, text);
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

std::size_t MessageBytes(std::string_view text) {
    std::size_t bytes = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;  // a CR LF pair has its 2 bytes already
        else
            ++bytes;  // a lone CR or LF goes out as CR LF
    }
    return bytes;
}

std::string SenderName() {
    char buffer[host::kMaxPath] = {};
    host::DWORD size = sizeof buffer - 1;  // the last byte stays a terminator
    return SenderNameOf(host::GetAccountName(buffer, &size) ? buffer : nullptr);
}

std::string SenderNameOf(const char* loginName) {
    const std::string name = loginName ? TrimWhiteSpace(loginName) : std::string();
    return name.empty() ? Text(IDS_UNKNOWN_SENDER) : name;
}

std::string ComposeMessage(const std::string& sender, std::string_view text) {
    // FormatMessage keeps a '%' in the name or the text as typed.
    const std::string body = WindowsLineBreaks(text);
    const std::size_t room = kBroadcastBufferSize - 1;  // the terminator's byte stays free
    const std::size_t allButName = FormatText(IDS_MESSAGE_FORMAT, {"", body}).Text.size();
    const std::size_t nameBytes = allButName < room ? host::CharBoundaryPrefix(sender, room - allButName) : 0;
    return FormatText(IDS_MESSAGE_FORMAT, {sender.substr(0, nameBytes), body}).Text;
}

bool StationIsOn(StationConfiguration& config) {
    config.LoadConfiguration();
    return config.StationLaunched != 0;
}

BroadcastResult SendBroadcast(const std::string& sender, std::string_view text) {
    const std::string message = TrimWhiteSpace(text);
    if (message.empty()) return BroadcastResult::Empty;
    if (MessageBytes(message) > kMaxMessageBytes) return BroadcastResult::TooLong;
    const std::string composed = ComposeMessage(sender, message);
    // Even a name cut to nothing leaves room for the longest text: never a cut text.
    if (composed.size() >= kBroadcastBufferSize) return BroadcastResult::TooLong;
    return BroadcastMessage(composed) ? BroadcastResult::Sent : BroadcastResult::Refused;
}

}  // namespace users
