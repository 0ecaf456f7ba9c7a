// What this process last read from the registry, kept while the shared change
// counter shows that nobody wrote since (registry_change_counter.h). The
// configuration is read far more often than it changes, and every SQLite read
// costs several system calls for its locks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "host/emulated/registry_key_id.h"
#include "host/types.h"

namespace host::emulated {

class RegistryReadCache {
public:
    struct Value {
        bool Found = false;
        DWORD Type = 0;
        std::string Data;
    };

    // Called before each read with the counter's value: forgets what it read
    // when the counter moved. False when nothing may be cached (a write is in progress).
    bool Sync(std::uint64_t generation);
    void Clear();

    // Key paths outlive writes: keys are never renamed and their ids are never
    // reused, so a path's id holds as long as that id still exists (the caller checks).
    std::optional<KeyId> Path(KeyId parent, std::string_view foldedPath) const;
    void StorePath(KeyId parent, std::string_view foldedPath, KeyId key);
    void ForgetPath(KeyId parent, std::string_view foldedPath);

    std::optional<bool> Exists(KeyId key) const;
    void StoreExists(KeyId key, bool exists);

    // Values are read a whole key at a time; a value missing from a loaded key does not exist.
    bool Loaded(KeyId key) const { return m_loaded.count(key) != 0; }
    void StoreValue(KeyId key, std::string_view foldedName, Value value);
    void MarkLoaded(KeyId key) { m_loaded.insert(key); }
    // Null when the key is not loaded; Found false when the value does not exist.
    const Value* FindValue(KeyId key, std::string_view foldedName) const;

private:
    static std::string Index(KeyId id, std::string_view name);
    // Index() for a look-up, built in a buffer kept from one look-up to the next.
    const std::string& LookUpIndex(KeyId id, std::string_view name) const;
    void MakeRoom();

    std::uint64_t m_generation = 1;  // odd: nothing cached yet
    std::unordered_map<std::string, KeyId> m_paths;
    std::unordered_map<KeyId, bool> m_exists;
    std::unordered_set<KeyId> m_loaded;
    std::unordered_map<std::string, Value> m_values;
    mutable std::string m_lookUp;
};

}  // namespace host::emulated
