// Reading REGEDIT4 text into import steps. Every line is checked before any
// step runs, so a file with one bad line changes nothing.
#include <cctype>
#include <stdexcept>

#include "host/emulated/hosttool/RegText.h"
#include "host/common/utf8.h"
#include "host/registry.h"
#include "host/text.h"

namespace hosttool {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
    auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool HasControl(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

// A name as an error message may show it: control characters as \xNN.
std::string Printable(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 80)) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
    }
    return text.size() > 80 ? out + "..." : out;
}

// The physical lines of the text without their line ends.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

class LineReader {
public:
    LineReader(std::string_view text, int line) : m_text(text), m_line(line) {}

    [[noreturn]] void Fail(const std::string& what) const { throw RegTextError(m_line, what); }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }
    void SkipBlanks() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) ++m_pos;
    }
    bool Take(std::string_view word) {
        if (!StartsWithNoCase(m_text.substr(m_pos), word)) return false;
        m_pos += word.size();
        return true;
    }
    std::string_view Rest() const { return m_text.substr(m_pos); }

    // A quoted string; the opening quote is the next character. Only \\ and \" are escapes.
    std::string Quoted(const char* what) {
        ++m_pos;
        std::string out;
        while (!AtEnd()) {
            char c = m_text[m_pos++];
            if (c == '"') return out;
            if (c == '\\') {
                if (AtEnd() || (Peek() != '\\' && Peek() != '"'))
                    Fail(std::string("bad escape in ") + what + " (only \\\\ and \\\" are allowed)");
                c = m_text[m_pos++];
            }
            out += c;
        }
        Fail(std::string("unterminated ") + what);
    }

    // Comma-separated bytes written as one or two hex digits; one trailing comma is allowed.
    std::vector<host::BYTE> HexBytes() {
        std::vector<host::BYTE> bytes;
        SkipBlanks();
        while (!AtEnd()) {
            int value = 0, digits = 0;
            while (!AtEnd() && HexDigit(Peek()) >= 0 && digits < 3) {
                value = value * 16 + HexDigit(Peek());
                ++digits;
                ++m_pos;
            }
            if (digits == 0 || digits > 2) Fail("bad hex byte");
            bytes.push_back(static_cast<host::BYTE>(value));
            SkipBlanks();
            if (AtEnd()) break;
            if (Peek() != ',') Fail("bad hex byte");
            ++m_pos;
            SkipBlanks();
        }
        return bytes;
    }

    // Hex digits up to the limit; the number of them read.
    unsigned long HexNumber(int maxDigits, int* digits) {
        unsigned long value = 0;
        *digits = 0;
        while (!AtEnd() && HexDigit(Peek()) >= 0) {
            if (++*digits > maxDigits) return value;
            value = value * 16 + static_cast<unsigned>(HexDigit(Peek()));
            ++m_pos;
        }
        return value;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line;
};

void ParseData(LineReader& in, RegOperation& op) {
    if (in.Peek() == '-') {
        in.Take("-");
        op.Op = RegOperation::Kind::DeleteValue;
    } else if (in.Peek() == '"') {
        std::string text = in.Quoted("string");
        op.Type = host::kRegSz;
        op.Data.assign(text.begin(), text.end());
        op.Data.push_back(0);
    } else if (in.Take("dword:")) {
        int digits = 0;
        unsigned long value = in.HexNumber(8, &digits);
        if (digits == 0 || digits > 8) in.Fail("a dword needs 1 to 8 hex digits");
        op.Type = host::kRegDword;
        for (int i = 0; i < 4; ++i) op.Data.push_back(static_cast<host::BYTE>(value >> (8 * i)));
    } else if (in.Take("hex:")) {
        op.Type = host::kRegBinary;
        op.Data = in.HexBytes();
    } else if (in.Take("hex(")) {
        int digits = 0;
        unsigned long type = in.HexNumber(8, &digits);
        if (digits == 0 || digits > 8 || !in.Take("):")) in.Fail("bad value type in hex(N):");
        op.Type = static_cast<host::DWORD>(type);
        op.Data = in.HexBytes();
    } else {
        in.Fail("unknown value data (expected \"string\", dword:, hex:, hex(N): or -)");
    }
    in.SkipBlanks();
    if (!in.AtEnd()) in.Fail("unexpected text after the value");
}

// Reads the name and the "=" of a value line; the reader then stands on the data.
RegOperation ParseValueName(LineReader& in, int line, const std::string& key) {
    RegOperation op{RegOperation::Kind::SetValue, key, {}, host::kRegNone, {}, line};
    if (in.Peek() == '@') {
        in.Take("@");
    } else {
        op.ValueName = in.Quoted("value name");
        // Passed on as text, a NUL would cut the name; a line break cannot be written back.
        if (op.ValueName.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos)
            in.Fail("NUL or line break in value name \"" + Printable(op.ValueName) + "\"");
        if (op.ValueName.size() > host::kMaxValueNameBytes)
            in.Fail("value name of " + std::to_string(op.ValueName.size()) + " bytes (at most " +
                    std::to_string(host::kMaxValueNameBytes) + ")");
    }
    in.SkipBlanks();
    if (!in.Take("=")) in.Fail("expected = after the value name");
    in.SkipBlanks();
    return op;
}

constexpr std::string_view kHeaders[] = {"REGEDIT4", "Windows Registry Editor Version 5.00"};
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsHeader(std::string_view line) { return line == kHeaders[0] || line == kHeaders[1]; }

}  // namespace

std::string ParseKeyName(std::string_view name) {
    std::string_view root = name.substr(0, name.find('\\'));
    if (host::MbsICmp(root, "HKEY_LOCAL_MACHINE") != 0 && host::MbsICmp(root, "HKLM") != 0)
        throw std::invalid_argument("unknown root key \"" + Printable(root) +
                                    "\" (this host holds HKEY_LOCAL_MACHINE only)");
    if (root.size() == name.size()) return {};
    std::string_view path = name.substr(root.size() + 1);
    std::size_t depth = 0;
    for (std::size_t start = 0;;) {
        auto end = path.find('\\', start);
        std::string_view level = path.substr(start, end - start);
        if (level.empty()) throw std::invalid_argument("empty key name in \"" + Printable(name) + "\"");
        if (const std::size_t length = host::common::Utf16Length(level); length > host::kMaxKeyNameChars)
            throw std::invalid_argument("key name of " + std::to_string(length) + " characters (at most " +
                                        std::to_string(host::kMaxKeyNameChars) + ")");
        if (HasControl(level)) throw std::invalid_argument("control character in key name \"" + Printable(level) + "\"");
        if (++depth > host::kMaxKeyDepth)
            throw std::invalid_argument("key more than " + std::to_string(host::kMaxKeyDepth) + " levels deep");
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return std::string(path);
}

RegStart ClassifyRegStart(std::string_view text) {
    if (text.size() < kUtf8Bom.size() && kUtf8Bom.substr(0, text.size()) == text) return RegStart::Unknown;
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return RegStart::Unknown;
    text.remove_prefix(first);
    const std::size_t end = text.find('\n');
    if (end != std::string_view::npos) {
        std::string_view line = text.substr(0, end);
        if (line.back() == '\r') line.remove_suffix(1);
        return IsHeader(Trim(line)) ? RegStart::Yes : RegStart::No;
    }
    // The first line so far: still a header, or a header with blanks after it?
    const std::size_t last = text.find_last_not_of(" \t\r");
    const std::string_view word = text.substr(0, last + 1);
    for (std::string_view header : kHeaders)
        if (header.substr(0, word.size()) == word) return RegStart::Unknown;
    return RegStart::No;
}

std::vector<RegOperation> ParseRegText(std::string_view text) {
    if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF')))
        throw RegTextError(1, "UTF-16 text is not read; save the file as UTF-8");
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    std::vector<std::string_view> lines = SplitLines(text);
    std::vector<RegOperation> ops;
    bool headerSeen = false;
    bool inKey = false, keyDeleted = false;
    std::string key;

    for (std::size_t i = 0; i < lines.size(); ++i) {
        int lineNumber = static_cast<int>(i + 1);
        std::string_view line = Trim(lines[i]);
        if (!headerSeen) {
            if (line.empty()) continue;
            if (!IsHeader(line))
                throw RegTextError(lineNumber, "not a registry file (expected REGEDIT4 or "
                                               "\"Windows Registry Editor Version 5.00\")");
            headerSeen = true;
            continue;
        }
        if (line.empty() || line.front() == ';') continue;

        if (line.front() == '[') {
            if (line.back() != ']') throw RegTextError(lineNumber, "key line does not end with ]");
            std::string_view name = line.substr(1, line.size() - 2);
            keyDeleted = !name.empty() && name.front() == '-';
            if (keyDeleted) name.remove_prefix(1);
            try {
                key = ParseKeyName(name);
            } catch (const std::invalid_argument& e) {
                throw RegTextError(lineNumber, e.what());
            }
            if (keyDeleted && key.empty()) throw RegTextError(lineNumber, "HKEY_LOCAL_MACHINE itself cannot be deleted");
            ops.push_back({keyDeleted ? RegOperation::Kind::DeleteKeyTree : RegOperation::Kind::CreateKey, key, {},
                           host::kRegNone, {}, lineNumber});
            inKey = true;
            continue;
        }

        if (line.front() != '"' && line.front() != '@')
            throw RegTextError(lineNumber, "not a key, a value or a comment");
        if (!inKey) throw RegTextError(lineNumber, "value before the first key line");
        if (keyDeleted) throw RegTextError(lineNumber, "value under a key that is being deleted");

        LineReader nameReader(line, lineNumber);
        RegOperation op = ParseValueName(nameReader, lineNumber, key);
        // Hex data may go on over following lines, each but the last ending in a backslash.
        std::string data(nameReader.Rest());
        if (StartsWithNoCase(data, "hex")) {
            while (!data.empty() && data.back() == '\\') {
                data.pop_back();
                if (++i >= lines.size()) throw RegTextError(lineNumber, "hex data continued past the end of the file");
                data += Trim(lines[i]);
            }
        }
        LineReader dataReader(data, lineNumber);
        ParseData(dataReader, op);
        ops.push_back(std::move(op));
    }
    if (!headerSeen) throw RegTextError(1, "not a registry file (no REGEDIT4 header)");
    return ops;
}

}  // namespace hosttool
