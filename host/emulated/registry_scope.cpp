#include "host/registry_scope.h"

#include "host/emulated/registry_connection.h"

namespace host {

RegistryTransaction::RegistryTransaction()
    : m_status(emulated::BeginRegistryBatch()), m_open(m_status == kErrorSuccess) {}

RegistryTransaction::~RegistryTransaction() {
    if (m_open) emulated::RollbackRegistryBatch();
}

LONG RegistryTransaction::Commit() {
    if (!m_open) return m_status ? m_status : kErrorInvalidParameter;
    m_open = false;
    return emulated::CommitRegistryBatch();
}

RegistryReadGroup::RegistryReadGroup() { emulated::EnterRegistryReadGroup(true); }

RegistryReadGroup::~RegistryReadGroup() { emulated::EnterRegistryReadGroup(false); }

}  // namespace host
