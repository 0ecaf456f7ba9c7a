// Registry transactions on Windows. Windows' registry has no transaction these
// calls could join, so here a transaction is a named mutex that every program
// of the system takes for its writes: writers of this system (v7ctl, the
// control center) never interleave their changes, and reads inside see their
// own writes. What it does not give: each write lands when it is made, so a
// transaction dropped or a process that dies part-way leaves the writes made
// so far (the outer Commit then reports the failure instead of success), and
// writers that do not take the mutex (the station drivers) are not held back.
#include "host/registry_scope.h"

#include "host/win32/win_api.h"

namespace host {
namespace {

constexpr LONG kErrorTimeout = 1460;            // ERROR_TIMEOUT
constexpr LONG kErrorTransactionAborted = 1016;  // ERROR_REGISTRY_IO_FAILED, as the emulated host answers
constexpr ::DWORD kWaitMilliseconds = 10000;      // other writers hold it only for a short change

// The mutex belongs to the thread that took it: nesting is counted per thread.
thread_local int t_depth = 0;
thread_local bool t_dropped = false;
thread_local ::HANDLE t_mutex = nullptr;

::HANDLE OpenWriteMutex() {
    // Session-wide: the programs of the logged-on user share it.
    return ::CreateMutexW(nullptr, FALSE, L"Local\\OrvaneV7.RegistryWrite");
}

LONG Begin() {
    if (t_depth > 0) {
        ++t_depth;
        return ERROR_SUCCESS;
    }
    ::HANDLE mutex = OpenWriteMutex();
    if (!mutex) return static_cast<LONG>(::GetLastError());
    const ::DWORD waited = ::WaitForSingleObject(mutex, kWaitMilliseconds);
    // WAIT_ABANDONED: the last holder died part-way; the lock is ours now.
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        return waited == WAIT_TIMEOUT ? kErrorTimeout : static_cast<LONG>(::GetLastError());
    }
    t_mutex = mutex;
    t_depth = 1;
    t_dropped = false;
    return ERROR_SUCCESS;
}

// Ends one level; the outermost releases the mutex. True when no level of the
// transaction was dropped.
bool End(bool dropped) {
    t_dropped = t_dropped || dropped;
    const bool clean = !t_dropped;
    if (--t_depth == 0) {
        ::ReleaseMutex(t_mutex);
        ::CloseHandle(t_mutex);
        t_mutex = nullptr;
        t_dropped = false;
    }
    return clean;
}

}  // namespace

RegistryTransaction::RegistryTransaction() : m_status(Begin()), m_open(m_status == ERROR_SUCCESS) {}

RegistryTransaction::~RegistryTransaction() {
    if (m_open) End(true);
}

LONG RegistryTransaction::Commit() {
    if (!m_open) return m_status ? m_status : ERROR_INVALID_PARAMETER;
    m_open = false;
    return End(false) ? ERROR_SUCCESS : kErrorTransactionAborted;
}

// Reads always see the registry as it is now, which the group allows.
RegistryReadGroup::RegistryReadGroup() {}

RegistryReadGroup::~RegistryReadGroup() {}

}  // namespace host
