// Text bound for a terminal, with every control character made visible.
#include <cstdio>

#include "host/common/utf8.h"
#include "host/text.h"

namespace host {

std::string TerminalText(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    char escape[8];
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const bool lineBreak = byte == '\n' || byte == '\t' ||
                               (byte == '\r' && at + 1 < text.size() && text[at + 1] == '\n');
        if (keepLineBreaks && lineBreak) {
            out += text[at++];
            continue;
        }
        if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
            ++at;
            continue;
        }
        const common::Utf8Char c = common::DecodeUtf8(text.substr(at));
        if (!c.Valid) {
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        } else if (c.Code >= 0x80 && c.Code <= 0x9F) {
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c.Code));
            out += escape;
        } else {
            out.append(text, at, c.Length);
        }
        at += c.Length;
    }
    return out;
}

}  // namespace host
