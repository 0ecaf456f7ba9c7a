// REGEDIT4 text: the registry as sections of values, written by "reg export"
// and read by "reg import". Pure text work; the registry is touched elsewhere.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/types.h"

namespace hosttool {

// One step of an import, in file order. KeyPath is below HKEY_LOCAL_MACHINE
// ("" is HKEY_LOCAL_MACHINE itself).
struct RegOperation {
    enum class Kind { CreateKey, DeleteKeyTree, SetValue, DeleteValue };
    Kind Op;
    std::string KeyPath;
    std::string ValueName;  // "" is the key's default value
    host::DWORD Type = host::kRegNone;
    std::vector<host::BYTE> Data;
    int Line = 0;
};

// A line of the text that cannot be read: its number (1-based) and what is wrong.
class RegTextError : public std::runtime_error {
public:
    RegTextError(int line, const std::string& what) : std::runtime_error(what), m_line(line) {}
    int Line() const { return m_line; }

private:
    int m_line;
};

// Reads a whole file (REGEDIT4 or "Windows Registry Editor Version 5.00", UTF-8,
// CR LF or LF). Throws RegTextError at the first bad line, so nothing is applied
// from a file that is not wholly understood.
std::vector<RegOperation> ParseRegText(std::string_view text);

// Whether a file's first bytes can begin a registry file: Yes once its header
// line is complete, No as soon as what came rules it out (ParseRegText then
// tells why), Unknown while only blanks or part of a header have come.
enum class RegStart { Unknown, Yes, No };
RegStart ClassifyRegStart(std::string_view text);

// "HKEY_LOCAL_MACHINE\a\b" or "HKLM\a\b" -> "a\b" ("" for the root itself).
// Throws std::invalid_argument with the reason for another root or an empty name.
std::string ParseKeyName(std::string_view name);

// "[HKEY_LOCAL_MACHINE\path]" (without line end).
std::string FormatSection(const std::string& keyPath);
// One value as its text line(s), long hex data continued with " \" line ends
// (line ends "\n", no final one). Throws std::invalid_argument when the name
// cannot be written (it holds a line break).
std::string FormatValue(const std::string& name, host::DWORD type, const std::vector<host::BYTE>& data);

}  // namespace hosttool
