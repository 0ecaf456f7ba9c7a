// The registry's storage: one SQLite database (registry.db) holding the keys
// under HKEY_LOCAL_MACHINE and their values. Not thread-safe by itself; the
// process-wide connection (registry_connection.h) serialises calls.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/emulated/registry_change_counter.h"
#include "host/emulated/registry_key_id.h"
#include "host/emulated/registry_read_cache.h"
#include "host/types.h"

struct sqlite3;
struct sqlite3_stmt;

namespace host::emulated {

// No entry in types.h: a storage failure that is not damage (disk full, a
// writer that holds the database longer than the busy timeout).
constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;

class RegistryStore {
public:
    // Opens (or, in an existing directory, creates) the database. On failure
    // returns null and says why in *problem; a damaged file is never written.
    static std::unique_ptr<RegistryStore> Open(const std::filesystem::path& file, std::string* problem);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // Key names are the components of a subkey path, as the caller spelled them.
    LONG FindKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result);
    LONG CreateKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result);
    LONG DeleteKey(KeyId parent, const std::vector<std::string_view>& names);
    LONG EnumKey(KeyId key, DWORD index, char* name, DWORD* nameSize);

    LONG QueryValue(KeyId key, std::string_view name, DWORD* type, BYTE* data, DWORD* size);
    LONG SetValue(KeyId key, std::string_view name, DWORD type, const BYTE* data, DWORD size);
    LONG DeleteValue(KeyId key, std::string_view name);
    LONG EnumValue(KeyId key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data, DWORD* dataSize);

    LONG Flush();

    // Set once the database turned out damaged while in use.
    const std::string& Problem() const { return m_problem; }

private:
    class Statement;
    class WriteTransaction;
    enum Query : int;

    explicit RegistryStore(sqlite3* db);
    bool Prepare(std::string* problem);
    sqlite3_stmt* Get(Query query);
    LONG Failure(int rc);
    // Among the existing rows: ERROR_FILE_NOT_FOUND, or ERROR_KEY_DELETED when key itself is gone.
    LONG Missing(KeyId key);
    // Steps an enumeration to its row: ERROR_SUCCESS, or ERROR_NO_MORE_ITEMS past the end.
    LONG StepToItem(Statement& st, KeyId key, DWORD index);
    LONG Exists(KeyId key, bool* exists);
    LONG FindChild(KeyId parent, std::string_view folded, KeyId* child);
    LONG LookUpKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result);
    // Before each call that reads: may the cache answer it?
    void BeginRead() { m_cacheOn = m_cache.Sync(m_counter.Current()); }

    sqlite3* m_db;
    std::vector<sqlite3_stmt*> m_statements;
    std::string m_problem;
    bool m_dirty = false;  // written since the last flush
    RegistryChangeCounter m_counter;
    RegistryReadCache m_cache;
    bool m_cacheOn = false;
};

}  // namespace host::emulated
