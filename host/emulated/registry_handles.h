// The open registry keys of this process: each HKEY names a key row.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "host/emulated/registry_store.h"
#include "host/types.h"

namespace host::emulated {

class KeyHandleTable {
public:
    HKEY Add(KeyId key);
    // HKEY_LOCAL_MACHINE resolves to the root; an unknown or closed handle fails.
    bool Resolve(HKEY handle, KeyId* key) const;
    bool Remove(HKEY handle);
    void Clear() { m_open.clear(); }

private:
    std::unordered_map<std::uintptr_t, KeyId> m_open;
    // Handle values are never reused, so a closed handle stays invalid.
    std::uintptr_t m_next = 0x10000;
};

}  // namespace host::emulated
