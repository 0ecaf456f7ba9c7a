// Groups registry writes into one transaction: every write made through the
// registry calls while a batch is open lands at Commit, or none of it does
// (the batch is dropped, fails, or the process dies first). The batch holds
// the registry's write lock, so other writers wait until it ends; keep it short.
// After a rollback, handles to keys the batch made must only be closed.
// The emulated host offers this to its own tools (an import is all or nothing).
#pragma once

#include "host/types.h"

namespace host::emulated {

class RegistryBatch {
public:
    RegistryBatch();
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

    // ERROR_SUCCESS when the batch is open (else the write lock was not had).
    LONG Status() const { return m_status; }
    LONG Commit();

private:
    LONG m_status;
    bool m_open;
};

}  // namespace host::emulated
