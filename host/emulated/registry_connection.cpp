#include "host/emulated/registry_connection.h"

#include <errno.h>
#include <pthread.h>

#include <cstdio>
#include <memory>
#include <string>

#include "host/emulated/root.h"

namespace host::emulated {

namespace {

// Counts fork()s in this process's ancestry; a child sees a new value at once,
// without asking the kernel for its pid on every call.
unsigned g_forks = 0;

struct Connection {
    Connection() { pthread_atfork(nullptr, nullptr, [] { ++g_forks; }); }

    std::mutex Mutex;
    std::unique_ptr<RegistryStore> Store;
    unsigned Owner = 0;    // the value of g_forks when Store was opened
    std::string Problem;   // what is wrong now, as shown to the user
    bool Damaged = false;  // stays failed: the file is left for the user to repair
    std::string Reported;  // the last problem written to stderr
    bool Echo = true;      // write problems to stderr (off where the program reports them itself)
    bool Create = false;   // a missing registry.db is made (by the set-up only)
    KeyHandleTable Handles;
};

Connection& TheConnection() {
    static Connection connection;
    return connection;
}

void Report(Connection& c, std::string problem) {
    c.Problem = std::move(problem);
    if (c.Problem == c.Reported || !c.Echo) return;
    c.Reported = c.Problem;
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, c.Problem.c_str());
}

std::string Describe(const std::string& what) {
    return "registry " + RegistryPath().string() + " " + what;
}

// Opens the store when needed; false when the registry cannot be used.
bool Ensure(Connection& c) {
    if (c.Damaged) return false;
    // A connection must not cross fork(): the child opens its own and leaves
    // the parent's (whose locks it does not hold) alone.
    if (c.Store && c.Owner != g_forks) static_cast<void>(c.Store.release());
    if (c.Store) return true;
    std::string problem;
    c.Store = RegistryStore::Open(RegistryPath(), c.Create, &problem);
    if (!c.Store) {
        // A root that is not set up yet may be set up later; a file that is there
        // but cannot be used stays as it is.
        std::error_code ec;
        c.Damaged = std::filesystem::symlink_status(RegistryPath(), ec).type() != std::filesystem::file_type::not_found;
        Report(c, Describe(problem) + (c.Damaged ? "; it is left as it is and the registry is unavailable" : ""));
        return false;
    }
    c.Owner = g_forks;
    c.Problem.clear();
    return true;
}

}  // namespace

RegistrySession::RegistrySession() : m_lock(TheConnection().Mutex) {
    Connection& c = TheConnection();
    if (Ensure(c))
        m_store = c.Store.get();
    else
        m_status = kErrorBadDb;
}

RegistrySession::~RegistrySession() {
    Connection& c = TheConnection();
    if (m_store && !m_store->Problem().empty()) {
        // Damage found while in use: stop using the file, as at open.
        std::string problem = Describe(m_store->Problem() + "; it is left as it is and the registry is unavailable");
        c.Damaged = true;
        c.Store.reset();
        Report(c, std::move(problem));
    }
}

KeyHandleTable& RegistrySession::Handles() { return TheConnection().Handles; }

void ResetRegistryConnection() {
    Connection& c = TheConnection();
    std::lock_guard lock(c.Mutex);
    if (c.Store && c.Owner != g_forks) static_cast<void>(c.Store.release());
    c.Store.reset();
    c.Problem.clear();
    c.Reported.clear();
    c.Damaged = false;
    c.Handles.Clear();
}

void EchoRegistryProblems(bool echo) {
    Connection& c = TheConnection();
    std::lock_guard lock(c.Mutex);
    c.Echo = echo;
}

void CreateMissingRegistry(bool create) {
    Connection& c = TheConnection();
    std::lock_guard lock(c.Mutex);
    c.Create = create;
}

LONG BeginRegistryBatch() {
    RegistrySession session;
    return session.Status() ? session.Status() : session.Store().BeginBatch();
}

LONG CommitRegistryBatch() {
    RegistrySession session;
    return session.Status() ? session.Status() : session.Store().CommitBatch();
}

void RollbackRegistryBatch() {
    RegistrySession session;
    if (!session.Status()) session.Store().RollbackBatch();
}

void EnterRegistryReadGroup(bool enter) {
    RegistrySession session;
    if (!session.Status()) session.Store().ReadGroup(enter);
}

void OpenRegistry() { RegistrySession session; }

std::string RegistryProblem() {
    Connection& c = TheConnection();
    std::lock_guard lock(c.Mutex);
    return c.Problem;
}

}  // namespace host::emulated
