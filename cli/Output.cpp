#include "cli/Output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/CommandLineTexts.h"
#include "host/text.h"
#include "resources/StringTable.h"

namespace cli {
namespace {

bool g_json = false;
std::string g_failures;

nlohmann::json& Object() {
    static nlohmann::json object = nlohmann::json::object();
    return object;
}

}  // namespace

void SetJsonOutput(bool on) { g_json = on; }
bool JsonOutput() { return g_json; }

std::string Text(unsigned stringId) {
    if (const char* own = CommandLineText(stringId)) return own;
    std::string text;
    if (!res::LoadText(stringId, text)) text = "Fail to load resource " + std::to_string(stringId) + " !";
    return text;
}

// Names and texts come from the registry, the drivers and the command line:
// their control characters are shown escaped, never sent to the terminal; the
// tabs and line breaks of the system's own texts stay.
void Print(const std::string& line) {
    if (!g_json) std::printf("%s\n", host::TerminalText(line, true).c_str());
}

void PrintText(unsigned stringId) { Print(Text(stringId)); }

int Fail(const std::string& line, int code) {
    std::fprintf(stderr, "v7ctl: %s\n", host::TerminalText(line, true).c_str());
    if (!g_failures.empty()) g_failures += '\n';
    g_failures += line;
    return code;
}

int FailText(unsigned stringId, int code) { return Fail(Text(stringId), code); }

nlohmann::json& Result() { return Object(); }

int Finish(int exitCode) {
    if (g_json) {
        nlohmann::json& object = Object();
        if (exitCode != 0 && !g_failures.empty()) object["error"] = {{"code", exitCode}, {"message", g_failures}};
        // Registry texts need not be UTF-8: a byte that is not becomes U+FFFD.
        const std::string text = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        std::fputs(text.c_str(), stdout);
        std::fputc('\n', stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        std::fprintf(stderr, "v7ctl: the output could not be written: %s\n", std::strerror(error));
        return 1;
    }
    return exitCode;
}

}  // namespace cli
