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
#include "host/emulated/registry_enum_cursor.h"
#include "host/emulated/registry_key_id.h"
#include "host/emulated/registry_read_cache.h"
#include "host/types.h"

struct sqlite3;
struct sqlite3_stmt;

namespace host::emulated {

// No entries in types.h: a storage failure that is not damage (disk full, an
// I/O error), and another program holding the registry's write lock for
// longer than kBusyTimeoutMs (Windows' ERROR_BUSY).
constexpr LONG kErrorRegistryIoFailed = 1016;
constexpr LONG ERROR_REGISTRY_BUSY = 170;
constexpr int kBusyTimeoutMs = 5000;

class RegistryStore {
public:
    // Opens the database; a missing one is made (in an existing directory) only
    // when create is set. On failure returns null and says why in *problem; a
    // damaged or empty file is never written. A file this process may not write
    // is opened for reading only: writes then fail with ERROR_ACCESS_DENIED.
    static std::unique_ptr<RegistryStore> Open(const std::filesystem::path& file, bool create, std::string* problem);
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

    // A batch makes every write until CommitBatch one transaction: all of it
    // lands or, on RollbackBatch (or when the process dies), none of it. It
    // holds the write lock throughout; other processes wait for it. A batch
    // begun inside another joins it; rolling the inner one back dooms the outer.
    // A flush inside a batch takes effect at its commit.
    LONG BeginBatch();
    LONG CommitBatch();
    void RollbackBatch();

    // While a read group is open only its first read looks at the change counter.
    void ReadGroup(bool enter);

    // Set once the database turned out damaged while in use.
    const std::string& Problem() const { return m_problem; }
    bool ReadOnly() const { return m_readOnly; }

private:
    class Statement;
    class WriteTransaction;
    enum Query : int;

    explicit RegistryStore(sqlite3* db);
    bool Prepare(std::string* problem);
    bool PrepareStatements(std::string* problem);
    static bool CreateFile(const std::filesystem::path& file, std::string* problem);
    sqlite3_stmt* Get(Query query);
    LONG Failure(int rc);
    // Among the existing rows: ERROR_FILE_NOT_FOUND, or ERROR_KEY_DELETED when key itself is gone.
    LONG Missing(KeyId key);
    // Steps an enumeration (its ?2 bound) to its row: ERROR_SUCCESS, or ERROR_NO_MORE_ITEMS past the end.
    LONG StepToItem(Statement& st, KeyId key);
    LONG Exists(KeyId key, bool* exists);
    LONG FindChild(KeyId parent, std::string_view folded, KeyId* child);
    LONG LookUpKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result);
    LONG Depth(KeyId key, std::size_t* depth);
    // Before each call that reads: may the cache answer it?
    void BeginRead() {
        if (m_readGroups && m_groupLooked) return;
        m_groupLooked = m_readGroups != 0;
        m_generation = m_counter.Current();
        m_cacheOn = m_cache.Sync(m_generation);
    }
    // Names the state the last BeginRead saw; 0 when it cannot be told apart from another.
    std::uint64_t View() const;
    // Every cached id may now name a row that is gone or a different one.
    void ForgetAll();

    sqlite3* m_db;
    std::vector<sqlite3_stmt*> m_statements;
    std::string m_problem;
    bool m_dirty = false;  // written since the last flush
    RegistryChangeCounter m_counter;
    RegistryReadCache m_cache;
    bool m_cacheOn = false;
    std::uint64_t m_generation = 1;
    bool m_readOnly = false;
    bool m_batch = false;
    int m_innerBatches = 0;     // batches joined to the open one
    bool m_batchDoomed = false;  // an inner batch was rolled back
    bool m_flushAtCommit = false;
    int m_readGroups = 0;
    bool m_groupLooked = false;  // the open read group had its look at the counter
    std::uint64_t m_ownWrites = 0;  // rises with each write and each batch begun
    EnumCursors m_keyCursors;
    EnumCursors m_valueCursors;
};

}  // namespace host::emulated
