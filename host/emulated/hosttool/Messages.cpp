// "messages": the broadcast messages the station received, from the station
// log, each as it arrived (the log's escapes undone), its control characters
// but tabs and line breaks shown as escapes: a message is anyone's text.
#include <fstream>
#include <ostream>
#include <string>

#include "host/emulated/hosttool/Commands.h"
#include "host/emulated/hosttool/ToolError.h"
#include "host/emulated/root.h"
#include "host/text.h"

namespace hosttool {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string UnescapeLogText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char kind = text[++i];
        switch (kind) {
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        case 'x':
            if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
                out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
                i += 2;
                break;
            }
            [[fallthrough]];
        default:  // not an escape the log writes: kept as it stands
            out += '\\';
            out += kind;
        }
    }
    return out;
}

void PrintMessages(std::ostream& out) {
    RequireSetUpRoot();
    const auto path = host::emulated::StationLogPath();
    std::ifstream log(path, std::ios::binary);
    if (!log) return;  // no log yet: the station received nothing
    std::string line;
    while (std::getline(log, line)) {
        // <time> TAB <event> TAB <detail>; a tab inside the detail is escaped.
        const std::size_t first = line.find('\t');
        const std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos || line.compare(first + 1, second - first - 1, "message") != 0) continue;
        const std::string text = host::TerminalText(UnescapeLogText(line.substr(second + 1)), true);
        out << "--- " << line.substr(0, first) << '\n' << text;
        if (text.empty() || text.back() != '\n') out << '\n';
    }
    if (log.bad()) throw ToolError("cannot read the station log " + path.native());
}

}  // namespace hosttool
