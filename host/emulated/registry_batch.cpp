#include "host/emulated/registry_batch.h"

#include "host/emulated/registry_connection.h"

namespace host::emulated {

RegistryBatch::RegistryBatch() : m_status(BeginRegistryBatch()), m_open(m_status == ERROR_SUCCESS) {}

RegistryBatch::~RegistryBatch() {
    if (m_open) RollbackRegistryBatch();
}

LONG RegistryBatch::Commit() {
    if (!m_open) return m_status ? m_status : ERROR_INVALID_PARAMETER;
    m_open = false;
    return CommitRegistryBatch();
}

}  // namespace host::emulated
