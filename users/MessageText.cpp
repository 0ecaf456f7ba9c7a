#include "users/MessageText.h"

#include "resources/StringTable.h"

namespace users {

Message FormatText(unsigned id, const std::vector<std::string>& args) {
    std::string format;
    if (!res::LoadText(id, format)) return {id, "Fail to load resource " + std::to_string(id) + " !"};
    std::string text;
    std::size_t next = 0, start = 0;
    for (std::size_t at; (at = format.find("%s", start)) != std::string::npos; start = at + 2) {
        text.append(format, start, at - start);
        if (next < args.size()) text += args[next++];
    }
    text.append(format, start, std::string::npos);
    return {id, text};
}

}  // namespace users
