// Registry calls that belong together: the writes of one change, which land all
// at once or not at all, and the reads of one load, which need only one look at
// whether another program wrote since.
#pragma once

#include "host/types.h"

namespace host {

// Every registry write made while a transaction is open lands at Commit, or
// none of it does (the transaction is dropped, fails, or the process dies
// first); reads inside it see the registry with those writes. It holds the
// registry's write lock, so other writers wait until it ends: keep it short,
// and never open one across a question to the user. A transaction opened
// inside another joins it; when the inner one is dropped, the outer one
// commits nothing. RegFlushKey inside a transaction makes it durable at its
// Commit. After a rollback, handles to keys it made must only be closed.
class RegistryTransaction {
public:
    RegistryTransaction();
    ~RegistryTransaction();
    RegistryTransaction(const RegistryTransaction&) = delete;
    RegistryTransaction& operator=(const RegistryTransaction&) = delete;

    // ERROR_SUCCESS when the transaction is open (else the write lock was not had).
    LONG Status() const { return m_status; }
    LONG Commit();

private:
    LONG m_status;
    bool m_open;
};

// Reads made while a group is open may be answered as the registry stood at
// the group's first read: a write another program makes during the group shows
// at the first read after it. For a run of reads that is one look at the
// registry, such as loading a configuration.
class RegistryReadGroup {
public:
    RegistryReadGroup();
    ~RegistryReadGroup();
    RegistryReadGroup(const RegistryReadGroup&) = delete;
    RegistryReadGroup& operator=(const RegistryReadGroup&) = delete;
};

}  // namespace host
