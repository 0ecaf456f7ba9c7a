// Writing values as REGEDIT4 text.
#include <cstdio>
#include <stdexcept>

#include "host/emulated/hosttool/RegText.h"

namespace hosttool {
namespace {

constexpr std::size_t kHexLineWidth = 77;

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + '"';
}

// Well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        std::size_t n = b < 0x80 ? 0 : b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 9;
        if (n == 9 || i + n >= text.size()) return false;
        unsigned cp = n == 0 ? b : b & (0x3F >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += n + 1;
    }
    return true;
}

// A REG_SZ shows as a quoted string only when reading it back gives the same
// bytes: one terminator at the end, no other control characters but tab.
bool ShowsAsString(const std::vector<host::BYTE>& data) {
    if (data.empty() || data.back() != 0) return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i)
        if ((data[i] < 0x20 && data[i] != '\t') || data[i] == 0x7F) return false;
    return IsUtf8(std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
}

std::string HexLines(std::string line, const std::vector<host::BYTE>& data) {
    std::size_t lineStart = 0;
    std::size_t bytesOnLine = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        char token[4];
        std::snprintf(token, sizeof token, i + 1 < data.size() ? "%02x," : "%02x", data[i]);
        // Every line keeps at least one byte, so a long name cannot stall the wrap.
        if (bytesOnLine > 0 && line.size() - lineStart + 2 > kHexLineWidth) {
            line += "\\\n";
            lineStart = line.size();
            line += "  ";
            bytesOnLine = 0;
        }
        line += token;
        ++bytesOnLine;
    }
    return line;
}

}  // namespace

std::string FormatSection(const std::string& keyPath) {
    if (HasLineBreak(keyPath)) throw std::invalid_argument("key name holds a line break");
    return keyPath.empty() ? "[HKEY_LOCAL_MACHINE]" : "[HKEY_LOCAL_MACHINE\\" + keyPath + "]";
}

std::string FormatValue(const std::string& name, host::DWORD type, const std::vector<host::BYTE>& data) {
    if (HasLineBreak(name)) throw std::invalid_argument("value name holds a line break");
    std::string line = (name.empty() ? std::string("@") : Quote(name)) + "=";
    if (type == host::kRegSz && ShowsAsString(data))
        return line + Quote(std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
    if (type == host::kRegDword && data.size() == 4) {
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x",
                      static_cast<unsigned>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<unsigned>(data[3]) << 24));
        return line + text;
    }
    if (type == host::kRegBinary) return HexLines(line + "hex:", data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
    return HexLines(line + prefix, data);
}

}  // namespace hosttool
