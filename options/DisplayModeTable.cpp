#include "options/DisplayModeTable.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <string_view>

#include "host/registry.h"
#include "resources/StringTable.h"
#include "station/StationConfiguration.h"

namespace {

constexpr unsigned kDefaultKeyFormat = 2160;  // "%s\Display\DEFAULT"
constexpr unsigned kModeKeyFormat = 2161;     // "%s\Display\MODES\%s"

// The leading decimal number of a row, read as atoi reads it (0 when there is none),
// held to the range of int.
int LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) {
            value = static_cast<long long>(INT_MAX) + 1;
            break;
        }
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value < INT_MIN ? INT_MIN : value);
}

// The text after the first bar; the whole text when it has none.
std::string_view AfterBar(std::string_view text) {
    std::size_t bar = text.find('|');
    return bar == std::string_view::npos ? text : text.substr(bar + 1);
}

DisplayMode ParseRow(const std::string& row) {
    std::string_view rest = AfterBar(row);
    DisplayMode mode;
    mode.Number = LeadingNumber(row);
    mode.Name = std::string(rest.substr(0, rest.find('|')));
    mode.Triple = std::string(AfterBar(rest));
    mode.Row = row;
    return mode;
}

// Fills a two-%s path format from the string table.
std::string FormatPath(unsigned formatId, const std::string& first, const std::string& second = {}) {
    std::string format;
    if (!res::LoadText(formatId, format)) return {};
    int needed = std::snprintf(nullptr, 0, format.c_str(), first.c_str(), second.c_str());
    if (needed < 0) return {};
    std::string path(static_cast<std::size_t>(needed) + 1, '\0');
    std::snprintf(path.data(), path.size(), format.c_str(), first.c_str(), second.c_str());
    path.resize(static_cast<std::size_t>(needed));
    return path;
}

// "16,640,480" -> "16\640,480": the bits become a key of their own.
std::string ModeKeyName(std::string triple) {
    if (triple.size() > 1 && triple[1] == ',') triple[1] = '\\';
    if (triple.size() > 2 && triple[2] == ',') triple[2] = '\\';
    return triple;
}

}  // namespace

std::vector<DisplayMode> DisplayModeTable::Rows() {
    std::vector<DisplayMode> rows;
    rows.reserve(kRowCount);
    for (unsigned id = kFirstRow; id < kFirstRow + kRowCount; ++id) {
        std::string row;
        if (res::LoadText(id, row)) rows.push_back(ParseRow(row));
    }
    return rows;
}

std::optional<int> DisplayModeTable::FindNumberByName(const std::string& name) {
    for (const DisplayMode& mode : Rows())
        if (mode.Row.find(name) != std::string::npos) return mode.Number;
    return std::nullopt;
}

DisplayMode DisplayModeTable::FindByNumber(int number) {
    for (const DisplayMode& mode : Rows())
        if (mode.Number == number) return mode;
    std::string fallback;
    res::LoadText(kFallbackRow, fallback);
    return ParseRow(fallback);
}

void DisplayModeTable::WriteRegistryMirror(const std::string& stationKeyPath, int stationDisplay) {
    for (const DisplayMode& mode : Rows()) {
        host::HKEY key = nullptr;
        std::string path = FormatPath(kModeKeyFormat, stationKeyPath, ModeKeyName(mode.Triple));
        // A mode key that cannot be made is skipped; the others still are.
        if (host::CreateRegKey(host::kLocalMachine, path.c_str(), &key) == host::kErrorSuccess)
            host::CloseRegKey(key);
    }
    host::HKEY defaultKey = nullptr;
    std::string defaultPath = FormatPath(kDefaultKeyFormat, stationKeyPath);
    if (host::CreateRegKey(host::kLocalMachine, defaultPath.c_str(), &defaultKey) != host::kErrorSuccess)
        return;
    StationConfiguration::WriteStringValue(defaultKey, "Mode", FindByNumber(stationDisplay).Triple);
    host::CloseRegKey(defaultKey);
    host::FlushRegKey(host::kLocalMachine);
}
