#include "host/common/inifile_rules.h"

#include <cstring>

#include "host/text.h"

namespace host::common {

std::string_view IniTrim(std::string_view text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool IniWriteAllowed(const char* section, const char* key, const char* value) {
    auto holds = [](const char* text, const char* chars) { return text && std::strpbrk(text, chars) != nullptr; };
    return !holds(section, "\r\n]") && !holds(key, "\r\n=") && !holds(value, "\r\n") &&
           !(key && (IniTrim(key).empty() || key[0] == ';' || key[0] == '['));
}

DWORD CopyIniValue(std::string_view value, char* buffer, DWORD size) {
    const std::size_t length = CharBoundaryPrefix(value, size - 1);
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
    return length < value.size() ? size - 1 : static_cast<DWORD>(length);
}

}  // namespace host::common
