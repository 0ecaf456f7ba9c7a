// The fixture's host on Windows: the product key kept and put back with the
// registry's own tree calls, and the stand-in driver through its control.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/win32/standin/standin_control.h"
#include "support/TempHostRoot.h"

namespace {

const wchar_t kProductKey[] = L"Software\\Halvorn\\Orvane";  // below HKEY_LOCAL_MACHINE
const wchar_t kKeptKey[] = L"Software\\Orvane V7 window tests";  // below HKEY_CURRENT_USER

bool Exists(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// The tree at from, if there is one, takes the place of the tree at to.
bool Copy(HKEY fromRoot, const wchar_t* from, HKEY toRoot, const wchar_t* to) {
    ::RegDeleteTreeW(toRoot, to);
    HKEY source = nullptr, target = nullptr;
    if (::RegOpenKeyExW(fromRoot, from, 0, KEY_READ, &source) != ERROR_SUCCESS) return true;
    const bool copied =
        ::RegCreateKeyExW(toRoot, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr) == ERROR_SUCCESS &&
        ::RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    ::RegCloseKey(source);
    if (target) ::RegCloseKey(target);
    return copied;
}

bool Move(HKEY fromRoot, const wchar_t* from, HKEY toRoot, const wchar_t* to) {
    return Copy(fromRoot, from, toRoot, to) && (!Exists(fromRoot, from) || ::RegDeleteTreeW(fromRoot, from) == ERROR_SUCCESS);
}

}  // namespace

TempHostRoot::TempHostRoot() {
    // A kept key already there is the host's own, left by a run that ended early.
    if (Exists(HKEY_CURRENT_USER, kKeptKey))
        EXPECT_TRUE(Copy(HKEY_CURRENT_USER, kKeptKey, HKEY_LOCAL_MACHINE, kProductKey));
    else
        EXPECT_TRUE(Copy(HKEY_LOCAL_MACHINE, kProductKey, HKEY_CURRENT_USER, kKeptKey));
}

TempHostRoot::~TempHostRoot() { EXPECT_TRUE(Move(HKEY_CURRENT_USER, kKeptKey, HKEY_LOCAL_MACHINE, kProductKey)); }

RunningStationDrivers::RunningStationDrivers(std::vector<std::string> faults) {
    std::string words;
    for (const std::string& word : faults) words += word + " ";
    // Each start of the driver begins with the station off.
    standin::StopDriver();
    m_started = standin::SetFaults(words) && standin::ForgetMessage() && standin::StartDriver();
}

RunningStationDrivers::~RunningStationDrivers() {
    standin::SetFaults("");
    standin::StartDriver();
}

int RunningStationDrivers::Stop() { return standin::StopDriver() ? 0 : 1; }

ToolResult RunHostTool(const std::vector<std::string>&, const std::string&) {
    return {127, "", "no host tool on Windows: the installer sets the host up"};
}
