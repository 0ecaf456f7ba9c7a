#include "cli/Session.h"

#include <cstdio>

#include "host/device.h"
#include "host/text.h"
#include "resources/StringTable.h"
#include "station/DriverChannel.h"

namespace cli {
namespace {

constexpr unsigned IDS_DEVICE_PATH = 2018;
constexpr unsigned IDS_DRIVER_MISSING = 2011;

}  // namespace

Session::Session() {
    SetDriverHandleSource([this] { return m_hDriver; });
    SetDesktopRepaint([] {});  // no windows to repaint here
}

Session::~Session() {
    if (m_hDriver != host::INVALID_HANDLE_VALUE) host::CloseHandle(m_hDriver);
    ResetDriverHandleCache();
    SetDriverHandleSource({});
}

bool Session::TryOpenDriver() {
    if (!DriverOpen()) m_hDriver = host::CreateDeviceFile(Text(IDS_DEVICE_PATH).c_str());
    return DriverOpen();
}

bool Session::OpenDriver() {
    if (TryOpenDriver()) return true;
    FailText(IDS_DRIVER_MISSING);
    return false;
}

std::string Text(unsigned stringId) {
    std::string text;
    if (!res::LoadString(stringId, text)) text = "Fail to load resource " + std::to_string(stringId) + " !";
    return text;
}

// Names and texts come from the registry, the drivers and the command line:
// their control characters are shown escaped, never sent to the terminal; the
// tabs and line breaks of the system's own texts stay.
void Print(const std::string& line) { std::printf("%s\n", host::TerminalText(line, true).c_str()); }

void PrintText(unsigned stringId) { Print(Text(stringId)); }

int Fail(const std::string& line) {
    std::fprintf(stderr, "v7ctl: %s\n", host::TerminalText(line, true).c_str());
    return kFailed;
}

int FailText(unsigned stringId) { return Fail(Text(stringId)); }

int RefuseWithoutYes(const std::string& what) {
    Fail(what + "; add --yes to go ahead");
    return kUsage;
}

}  // namespace cli
