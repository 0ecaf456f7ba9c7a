#include "host/emulated/registry_read_cache.h"

#include <cstring>

namespace host::emulated {

namespace {
constexpr std::size_t kMaxEntries = 4096;  // a registry read in full does not need to stay
}

bool RegistryReadCache::Sync(std::uint64_t generation) {
    if (generation != m_generation) {
        m_exists.clear();
        m_loaded.clear();
        m_values.clear();
        m_generation = generation;
    }
    return (generation & 1) == 0;
}

void RegistryReadCache::Clear() {
    m_paths.clear();
    m_loaded.clear();
    m_exists.clear();
    m_values.clear();
}

std::string RegistryReadCache::Index(KeyId id, std::string_view name) {
    std::string index(sizeof id, '\0');
    std::memcpy(index.data(), &id, sizeof id);
    index.append(name);
    return index;
}

const std::string& RegistryReadCache::LookUpIndex(KeyId id, std::string_view name) const {
    m_lookUp.assign(reinterpret_cast<const char*>(&id), sizeof id);
    m_lookUp.append(name);
    return m_lookUp;
}

void RegistryReadCache::MakeRoom() {
    if (m_paths.size() + m_exists.size() + m_values.size() >= kMaxEntries) Clear();
}

std::optional<KeyId> RegistryReadCache::Path(KeyId parent, std::string_view foldedPath) const {
    auto found = m_paths.find(LookUpIndex(parent, foldedPath));
    if (found == m_paths.end()) return std::nullopt;
    return found->second;
}

void RegistryReadCache::StorePath(KeyId parent, std::string_view foldedPath, KeyId key) {
    MakeRoom();
    m_paths[Index(parent, foldedPath)] = key;
}

void RegistryReadCache::ForgetPath(KeyId parent, std::string_view foldedPath) {
    m_paths.erase(Index(parent, foldedPath));
}

std::optional<bool> RegistryReadCache::Exists(KeyId key) const {
    auto found = m_exists.find(key);
    if (found == m_exists.end()) return std::nullopt;
    return found->second;
}

void RegistryReadCache::StoreExists(KeyId key, bool exists) {
    MakeRoom();
    m_exists[key] = exists;
}

const RegistryReadCache::Value* RegistryReadCache::FindValue(KeyId key, std::string_view foldedName) const {
    static const Value kMissing;
    if (!Loaded(key)) return nullptr;
    auto found = m_values.find(LookUpIndex(key, foldedName));
    return found == m_values.end() ? &kMissing : &found->second;
}

void RegistryReadCache::StoreValue(KeyId key, std::string_view foldedName, Value value) {
    MakeRoom();
    m_values[Index(key, foldedName)] = std::move(value);
}

}  // namespace host::emulated
