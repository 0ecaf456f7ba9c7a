#include "host/program.h"

#include "host/types.h"

#include "host/win32/wide.h"
#include "host/win32/win_api.h"

namespace host {

namespace {

// The product's key and the keys above it, nearest first: the first that
// exists must let this user read and write, or no setting can be kept.
constexpr const wchar_t* kProductKeys[] = {L"Software\\Halvorn\\Orvane", L"Software\\Halvorn", L"Software"};

std::string SystemMessage(::LSTATUS error) {
    wchar_t* text = nullptr;
    const ::DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<::DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : win32::ToUtf8(message);
}

}  // namespace

// Windows has no option of its own: the host is this machine.
bool TakeHostOptions(std::vector<std::string>*, std::string*) { return true; }

const char* HostOptionsUsage() { return ""; }

const char* HostOptionsHelp() {
    return "Works on this computer's registry and station drivers (there is no --root\n"
           "option on Windows).\n";
}

bool HasDisplay(std::string*) { return true; }

std::filesystem::path HostFolder() { return {}; }

std::string RegistryProblem() {
    for (const wchar_t* path : kProductKeys) {
        ::HKEY key = nullptr;
        const ::LSTATUS status = ::RegOpenKeyExW(win32::ToWinKey(kLocalMachine), path, 0, KEY_READ | KEY_WRITE, &key);
        if (status == ERROR_SUCCESS) {
            ::RegCloseKey(key);
            return {};
        }
        if (status != ERROR_FILE_NOT_FOUND)
            return "the registry key HKEY_LOCAL_MACHINE\\" + win32::ToUtf8(path) +
                   " cannot be opened for reading and writing (" + SystemMessage(status) +
                   "): the station's settings cannot be kept";
    }
    return {};
}

}  // namespace host
