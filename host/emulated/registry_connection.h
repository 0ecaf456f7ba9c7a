// The process's one registry connection: the open database of the current host
// root and the table of open keys, used under one lock. A damaged database is
// reported once on stderr and through RegistryProblem(), and every call then
// fails with ERROR_BADDB until SetHostRoot points elsewhere.
//
// A missing registry.db is made, empty, only where the process asked for it
// (CreateMissingRegistry: the set-up of a root, which then writes through this
// code). Otherwise nothing is created: the calls fail with ERROR_BADDB, the
// problem names "v7-host init", and the next call tries again.
#pragma once

#include <mutex>

#include "host/emulated/registry_handles.h"
#include "host/emulated/registry_store.h"

namespace host::emulated {

class RegistrySession {
public:
    RegistrySession();
    ~RegistrySession();
    RegistrySession(const RegistrySession&) = delete;
    RegistrySession& operator=(const RegistrySession&) = delete;

    // ERROR_SUCCESS when Store() may be used.
    LONG Status() const { return m_status; }
    RegistryStore& Store() { return *m_store; }
    KeyHandleTable& Handles();

private:
    std::unique_lock<std::mutex> m_lock;
    RegistryStore* m_store = nullptr;
    LONG m_status = kErrorSuccess;
};

// Closes the database and forgets every open key (the root changed).
void ResetRegistryConnection();

// The calls behind RegistryTransaction and RegistryReadGroup (host/registry_scope.h).
LONG BeginRegistryBatch();
LONG CommitRegistryBatch();
void RollbackRegistryBatch();
void EnterRegistryReadGroup(bool enter);

}  // namespace host::emulated
