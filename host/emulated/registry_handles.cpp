#include "host/emulated/registry_handles.h"

namespace host::emulated {

namespace {
std::uintptr_t Value(HKEY handle) { return reinterpret_cast<std::uintptr_t>(handle); }
}  // namespace

HKEY KeyHandleTable::Add(KeyId key) {
    std::uintptr_t value = m_next;
    m_next += 4;
    m_open.emplace(value, key);
    return reinterpret_cast<HKEY>(value);
}

bool KeyHandleTable::Resolve(HKEY handle, KeyId* key) const {
    if (handle == kLocalMachine) {
        *key = kRootKeyId;
        return true;
    }
    auto found = m_open.find(Value(handle));
    if (found == m_open.end()) return false;
    *key = found->second;
    return true;
}

bool KeyHandleTable::Remove(HKEY handle) {
    if (handle == kLocalMachine) return true;  // closing a predefined key is allowed
    return m_open.erase(Value(handle)) == 1;
}

}  // namespace host::emulated
