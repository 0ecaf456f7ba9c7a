// On Windows the registry says when it changes (RegNotifyChangeKeyValue on the
// product's key and all below it) and the station driver says nothing: whether
// it runs is whether its device opens. One thread sleeps until the registry
// moves, and looks at the driver every few seconds: a driver stopped without
// a word is shown as stopped, never as it was.
#include "app/LiveState.h"

#include <wx/msw/wrapwin.h>

#include <atomic>
#include <functional>
#include <future>
#include <thread>

#include "host/device.h"

wxDEFINE_EVENT(EVT_LIVE_STATE, wxThreadEvent);

namespace {

constexpr const char* kDevicePath = "\\\\.\\Brakor";
// The product's key, then the keys above it: the nearest that exists is
// watched, so a key made after the start is found at the first change.
constexpr const wchar_t* kWatchedKeys[] = {L"Software\\Halvorn\\Orvane", L"Software\\Halvorn", L"Software"};
constexpr DWORD kNotifyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// How often the driver is looked at (a device opened and closed).
constexpr DWORD kDriverPollMs = 3000;

bool DriverAnswers() {
    const host::HANDLE device = host::CreateDeviceFile(kDevicePath);
    if (device == host::kInvalidHandle) return false;
    host::CloseHandle(device);
    return true;
}

}  // namespace

class LiveState::Watch {
public:
    explicit Watch(std::function<void()> changed)
        : m_changed(std::move(changed)),
          m_stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_registry(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        m_running = DriverAnswers();
        if (!m_stop || !m_registry) return;
        // Watching starts before the caller reads anything, so no change
        // falls in between: the notice is asked for on the thread that keeps
        // it (it ends with the thread that asked).
        std::promise<void> armed;
        std::future<void> ready = armed.get_future();
        m_thread = std::thread([this, &armed] { Run(armed); });
        ready.wait();
    }
    ~Watch() {
        if (m_stop) ::SetEvent(m_stop);
        if (m_thread.joinable()) m_thread.join();
        CloseKey();
        for (HANDLE event : {m_stop, m_registry})
            if (event) ::CloseHandle(event);
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    bool Running() const { return m_running; }

private:
    void Run(std::promise<void>& armed) {
        bool onProductKey = Arm();
        armed.set_value();
        for (;;) {
            const HANDLE events[] = {m_stop, m_registry};
            const DWORD wait = ::WaitForMultipleObjects(2, events, FALSE, kDriverPollMs);
            if (wait == WAIT_OBJECT_0) return;
            const bool registryMoved = wait == WAIT_OBJECT_0 + 1;
            // Armed again before anything is read, so no change falls in between.
            if (registryMoved || !onProductKey) onProductKey = Arm();
            const bool running = DriverAnswers();
            const bool driverMoved = running != m_running.exchange(running);
            if (registryMoved || driverMoved) m_changed();
        }
    }

    // Watches the nearest key that exists; true when that is the product's own.
    bool Arm() {
        CloseKey();
        for (const wchar_t* path : kWatchedKeys) {
            if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_NOTIFY, &m_key) != ERROR_SUCCESS) {
                m_key = nullptr;
                continue;
            }
            if (::RegNotifyChangeKeyValue(m_key, TRUE, kNotifyFilter, m_registry, TRUE) == ERROR_SUCCESS)
                return path == kWatchedKeys[0];
            CloseKey();
        }
        return false;
    }

    void CloseKey() {
        if (m_key) ::RegCloseKey(m_key);
        m_key = nullptr;
    }

    std::function<void()> m_changed;
    HANDLE m_stop;
    HANDLE m_registry;
    HKEY m_key = nullptr;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};

LiveState::LiveState(wxEvtHandler* window) : m_window(window) {
    m_watch = std::make_unique<Watch>([this] {
        if (!m_posted.exchange(true)) wxQueueEvent(m_window, new wxThreadEvent(EVT_LIVE_STATE));
    });
}

LiveState::~LiveState() { m_watch.reset(); }

bool LiveState::DriversRunning() const { return m_watch->Running(); }
