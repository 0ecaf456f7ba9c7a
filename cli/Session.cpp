#include "cli/Session.h"

#include <cmath>
#include <cstdio>

#include "host/device.h"
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
    CloseDriver();
    SetDriverHandleSource({});
}

bool Session::TryOpenDriver() {
    if (!DriverOpen()) m_hDriver = host::CreateDeviceFile(Text(IDS_DEVICE_PATH).c_str());
    return DriverOpen();
}

void Session::CloseDriver() {
    if (m_hDriver != host::kInvalidHandle) host::CloseHandle(m_hDriver);
    m_hDriver = host::kInvalidHandle;
    ResetDriverHandleCache();
}

bool Session::OpenDriver() {
    if (TryOpenDriver()) return true;
    FailText(IDS_DRIVER_MISSING);
    return false;
}

int Session::ReachDrivers() {
    m_driversState = "not-running";
    if (!OpenDriver()) return kDriversDown;
    m_mainDriverLoaded = IsDriverLoaded(kBrakorDevice) == 1;
    m_driversState = m_mainDriverLoaded ? "running" : "not-answering";
    if (m_mainDriverLoaded || !host::DeviceCallTimedOut()) return kOk;
    CloseDriver();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", m_timeoutSeconds);
    return Fail(std::string("the station drivers did not answer within ") + seconds + " s", kTimedOut);
}

int Session::CallFailure() { return host::DeviceCallTimedOut() ? kTimedOut : kRefused; }

void Session::SetTimeout(double seconds) {
    m_timeoutSeconds = seconds;
    host::SetDeviceTimeout(static_cast<host::DWORD>(std::ceil(seconds * 1000)));
}

int RefuseWithoutYes(const std::string& what) { return Fail(what + "; add --yes to go ahead", kUsage); }

void ReportChanged(bool changed) { Result()["changed"] = changed; }

}  // namespace cli
