#include "host/emulated/registry_store.h"

#include <sqlite3.h>

#include <cstring>

#include "host/text.h"

namespace fs = std::filesystem;

namespace host::emulated {

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 5000;

// Key ids are never reused (AUTOINCREMENT), so a handle to a deleted key never
// sees a later key of the same name. Names are stored as given and looked up
// by their folded form; text compares bytewise, which orders UTF-8 by code point.
constexpr const char* kSchema =
    "BEGIN IMMEDIATE;"
    "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL,"
    " name TEXT NOT NULL, folded TEXT NOT NULL, UNIQUE(parent, folded));"
    "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL, name TEXT NOT NULL, folded TEXT NOT NULL,"
    " type INTEGER NOT NULL, data BLOB NOT NULL, UNIQUE(key, folded));"
    "PRAGMA user_version=1;"
    "COMMIT;";

const char* const kQueries[] = {
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SELECT id FROM keys WHERE parent=?1 AND folded=?2",
    "SELECT 1 FROM keys WHERE id=?1",
    "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)",
    "SELECT 1 FROM keys WHERE parent=?1 LIMIT 1",
    "DELETE FROM keys WHERE id=?1",
    "DELETE FROM vals WHERE key=?1",
    "SELECT type, data FROM vals WHERE key=?1 AND folded=?2",
    // An update keeps the row, so the value keeps its place in the enumeration.
    "INSERT INTO vals(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT(key, folded) DO UPDATE SET type=excluded.type, data=excluded.data",
    "DELETE FROM vals WHERE key=?1 AND folded=?2",
    "SELECT name FROM keys WHERE parent=?1 ORDER BY folded LIMIT 1 OFFSET ?2",
    "SELECT name, type, data FROM vals WHERE key=?1 ORDER BY rowid LIMIT 1 OFFSET ?2",
    "SELECT folded, type, data FROM vals WHERE key=?1",
};

bool IsDamage(int rc) { return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB; }

}  // namespace

enum RegistryStore::Query : int {
    kBegin,
    kCommit,
    kRollback,
    kFindChild,
    kKeyExists,
    kInsertKey,
    kHasChildren,
    kDeleteKeyRow,
    kDeleteKeyValues,
    kQueryValue,
    kSetValue,
    kDeleteValue,
    kEnumKey,
    kEnumValue,
    kKeyValues,
    kQueryCount
};

// A cached statement in use; reset when done so it holds no read snapshot.
class RegistryStore::Statement {
public:
    Statement(RegistryStore& store, Query query) : m_stmt(store.Get(query)) {}
    ~Statement() { sqlite3_reset(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, std::int64_t value) {
        sqlite3_bind_int64(m_stmt, index, value);
        return *this;
    }
    // The text must outlive the statement.
    Statement& Bind(int index, std::string_view text) {
        sqlite3_bind_text(m_stmt, index, text.empty() ? "" : text.data(), static_cast<int>(text.size()),
                          SQLITE_STATIC);
        return *this;
    }
    Statement& BindBlob(int index, const BYTE* data, DWORD size) {
        static const BYTE kEmpty = 0;  // a null pointer would bind NULL, not an empty blob
        sqlite3_bind_blob(m_stmt, index, size ? data : &kEmpty, static_cast<int>(size), SQLITE_STATIC);
        return *this;
    }
    int Step() { return sqlite3_step(m_stmt); }
    std::int64_t Int(int column) const { return sqlite3_column_int64(m_stmt, column); }
    std::string_view Text(int column) const {
        auto text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return {text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column))};
    }
    std::string_view Blob(int column) const {
        auto data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
        return {data ? data : "", static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column))};
    }

private:
    sqlite3_stmt* m_stmt;
};

// BEGIN IMMEDIATE takes the write lock up front (waiting up to the busy
// timeout), so a write never fails half-way because another process wrote.
class RegistryStore::WriteTransaction {
public:
    explicit WriteTransaction(RegistryStore& store) : m_store(store) {
        int rc = Statement(store, kBegin).Step();
        m_open = rc == SQLITE_DONE;
        m_status = m_open ? ERROR_SUCCESS : store.Failure(rc);
        if (m_open) {
            store.m_cacheOn = false;
            store.m_counter.BeginWrite();
        }
    }
    ~WriteTransaction() {
        if (!m_open) return;
        Statement(m_store, kRollback).Step();
        m_store.m_counter.EndWrite();
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    LONG Status() const { return m_status; }
    LONG Commit() {
        int rc = Statement(m_store, kCommit).Step();
        if (rc != SQLITE_DONE) return m_store.Failure(rc);
        m_open = false;
        m_store.m_dirty = true;
        m_store.m_counter.EndWrite();
        return ERROR_SUCCESS;
    }

private:
    RegistryStore& m_store;
    bool m_open = false;
    LONG m_status = ERROR_SUCCESS;
};

RegistryStore::RegistryStore(sqlite3* db) : m_db(db) {}

RegistryStore::~RegistryStore() {
    for (sqlite3_stmt* stmt : m_statements) sqlite3_finalize(stmt);
    sqlite3_close(m_db);
}

std::unique_ptr<RegistryStore> RegistryStore::Open(const fs::path& file, std::string* problem) {
    std::error_code ec;
    bool exists = fs::exists(file, ec);
    if (ec) {
        *problem = "cannot be read (" + ec.message() + ")";
        return nullptr;
    }
    // Only a set-up root gets a new database; a missing root is not created here.
    if (!exists && !fs::is_directory(file.parent_path(), ec)) {
        *problem = "does not exist and there is no host root to hold it (run \"v7-host init\")";
        return nullptr;
    }
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (exists ? 0 : SQLITE_OPEN_CREATE);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
    std::unique_ptr<RegistryStore> store(new RegistryStore(db));
    if (rc != SQLITE_OK) {
        *problem = std::string("cannot be opened (") + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)) + ")";
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (sqlite3_db_readonly(db, "main") == 1) {
        *problem = "cannot be written (no write permission)";
        return nullptr;
    }
    if (!store->Prepare(problem)) return nullptr;
    store->m_counter.Open(file.string() + "-gen");
    return store;
}

bool RegistryStore::Prepare(std::string* problem) {
    auto fail = [&](int rc, const char* what) {
        *problem = std::string(IsDamage(rc) ? "is damaged" : what) + " (" + sqlite3_errmsg(m_db) + ")";
        return false;
    };
    // Read-only checks first: nothing is written to a file that fails them.
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
    std::string verdict = rc == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)) : "";
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW) return fail(rc, "cannot be read");
    if (verdict != "ok") {
        // The check lists one finding a line; the report is one line.
        for (char& c : verdict)
            if (c == '\n') c = ' ';
        if (verdict.size() > 160) verdict = verdict.substr(0, 160) + "...";
        *problem = "is damaged (integrity check: " + verdict + ")";
        return false;
    }
    int tables = 0, ours = 0, version = 0;
    rc = sqlite3_prepare_v2(m_db,
                            "SELECT count(*), count(CASE WHEN name IN ('keys','vals') THEN 1 END),"
                            " (SELECT user_version FROM pragma_user_version)"
                            " FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%'",
                            -1, &stmt, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        tables = sqlite3_column_int(stmt, 0);
        ours = sqlite3_column_int(stmt, 1);
        version = sqlite3_column_int(stmt, 2);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW) return fail(rc, "cannot be read");
    if (tables != ours || (tables != 0 && tables != 2)) {
        *problem = "is not a registry database (it holds other tables)";
        return false;
    }
    if (version > kSchemaVersion) {
        *problem = "was written by a newer version of the host (format " + std::to_string(version) + ")";
        return false;
    }
    // Commits need no fsync (synchronous=NORMAL); RegFlushKey is the durability point.
    rc = sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return fail(rc, "cannot be set up");
    if (tables == 0) {
        rc = sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            return fail(rc, "cannot be set up");
        }
    }
    static_assert(sizeof kQueries / sizeof kQueries[0] == kQueryCount);
    m_statements.assign(kQueryCount, nullptr);
    for (int i = 0; i < kQueryCount; ++i) {
        rc = sqlite3_prepare_v3(m_db, kQueries[i], -1, SQLITE_PREPARE_PERSISTENT, &m_statements[i], nullptr);
        if (rc != SQLITE_OK) return fail(rc, "cannot be used");
    }
    return true;
}

sqlite3_stmt* RegistryStore::Get(Query query) { return m_statements[query]; }

LONG RegistryStore::Failure(int rc) {
    if (IsDamage(rc)) {
        if (m_problem.empty()) m_problem = std::string("is damaged (") + sqlite3_errmsg(m_db) + ")";
        return ERROR_BADDB;
    }
    return ERROR_REGISTRY_IO_FAILED;
}

LONG RegistryStore::Exists(KeyId key, bool* exists) {
    if (key == kRootKeyId) {
        *exists = true;
        return ERROR_SUCCESS;
    }
    if (m_cacheOn) {
        if (std::optional<bool> cached = m_cache.Exists(key)) {
            *exists = *cached;
            return ERROR_SUCCESS;
        }
    }
    Statement st(*this, kKeyExists);
    int rc = st.Bind(1, key).Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Failure(rc);
    *exists = rc == SQLITE_ROW;
    if (m_cacheOn) m_cache.StoreExists(key, *exists);
    return ERROR_SUCCESS;
}

LONG RegistryStore::Missing(KeyId key) {
    bool exists = false;
    if (LONG status = Exists(key, &exists)) return status;
    return exists ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
}

LONG RegistryStore::FindChild(KeyId parent, std::string_view folded, KeyId* child) {
    Statement st(*this, kFindChild);
    int rc = st.Bind(1, parent).Bind(2, folded).Step();
    if (rc == SQLITE_ROW) {
        *child = st.Int(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : Failure(rc);
}

LONG RegistryStore::FindKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result) {
    BeginRead();
    return LookUpKey(parent, names, result);
}

LONG RegistryStore::LookUpKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result) {
    if (names.empty()) {
        bool exists = false;
        if (LONG status = Exists(parent, &exists)) return status;
        if (!exists) return ERROR_KEY_DELETED;
        *result = parent;
        return ERROR_SUCCESS;
    }
    std::string path;
    for (std::string_view name : names) path.append(FoldCase(name)).push_back('\\');
    if (std::optional<KeyId> cached = m_cache.Path(parent, path)) {
        bool exists = false;
        if (LONG status = Exists(*cached, &exists)) return status;
        if (exists) {
            *result = *cached;
            return ERROR_SUCCESS;
        }
        m_cache.ForgetPath(parent, path);
    }
    KeyId key = parent;
    std::string_view rest = path;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::size_t end = rest.find('\\');
        LONG status = FindChild(key, rest.substr(0, end), &key);
        if (status == ERROR_FILE_NOT_FOUND && i == 0) return Missing(parent);
        if (status) return status;
        rest.remove_prefix(end + 1);
    }
    m_cache.StorePath(parent, path, key);
    *result = key;
    return ERROR_SUCCESS;
}

LONG RegistryStore::CreateKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result) {
    // Most creates find the key already there: answer those without the write lock.
    LONG status = FindKey(parent, names, result);
    if (status != ERROR_FILE_NOT_FOUND) return status;
    WriteTransaction transaction(*this);
    if (LONG begun = transaction.Status()) return begun;
    KeyId key = parent;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string folded = FoldCase(names[i]);
        status = FindChild(key, folded, &key);
        if (status == ERROR_FILE_NOT_FOUND) {
            if (i == 0) {
                bool exists = false;
                if (LONG checked = Exists(parent, &exists)) return checked;
                if (!exists) return ERROR_KEY_DELETED;
            }
            Statement st(*this, kInsertKey);
            int rc = st.Bind(1, key).Bind(2, names[i]).Bind(3, folded).Step();
            if (rc != SQLITE_DONE) return Failure(rc);
            key = sqlite3_last_insert_rowid(m_db);
        } else if (status) {
            return status;
        }
    }
    if (LONG committed = transaction.Commit()) return committed;
    *result = key;
    return ERROR_SUCCESS;
}

LONG RegistryStore::DeleteKey(KeyId parent, const std::vector<std::string_view>& names) {
    WriteTransaction transaction(*this);
    if (LONG begun = transaction.Status()) return begun;
    KeyId key = parent;
    if (LONG status = LookUpKey(parent, names, &key)) return status;
    if (key == kRootKeyId) return ERROR_ACCESS_DENIED;
    {
        Statement st(*this, kHasChildren);
        int rc = st.Bind(1, key).Step();
        if (rc == SQLITE_ROW) return ERROR_ACCESS_DENIED;
        if (rc != SQLITE_DONE) return Failure(rc);
    }
    for (Query query : {kDeleteKeyValues, kDeleteKeyRow}) {
        Statement st(*this, query);
        int rc = st.Bind(1, key).Step();
        if (rc != SQLITE_DONE) return Failure(rc);
    }
    return transaction.Commit();
}

LONG RegistryStore::StepToItem(Statement& st, KeyId key, DWORD index) {
    int rc = st.Bind(1, key).Bind(2, static_cast<std::int64_t>(index)).Step();
    if (rc == SQLITE_ROW) return ERROR_SUCCESS;
    if (rc != SQLITE_DONE) return Failure(rc);
    LONG status = Missing(key);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_NO_MORE_ITEMS : status;
}

namespace {

// On ERROR_MORE_DATA the enumerations report what the name would take,
// terminator included, and change nothing else.
bool NameFits(std::string_view text, DWORD* nameSize) {
    if (text.size() + 1 <= *nameSize) return true;
    *nameSize = static_cast<DWORD>(text.size() + 1);
    return false;
}

void PutName(std::string_view text, char* name, DWORD* nameSize) {
    std::memcpy(name, text.data(), text.size());
    name[text.size()] = '\0';
    *nameSize = static_cast<DWORD>(text.size());
}

}  // namespace

LONG RegistryStore::EnumKey(KeyId key, DWORD index, char* name, DWORD* nameSize) {
    if (!name || !nameSize) return ERROR_INVALID_PARAMETER;
    BeginRead();
    Statement st(*this, kEnumKey);
    if (LONG status = StepToItem(st, key, index); status != ERROR_SUCCESS) return status;
    std::string_view text = st.Text(0);
    if (!NameFits(text, nameSize)) return ERROR_MORE_DATA;
    PutName(text, name, nameSize);
    return ERROR_SUCCESS;
}

LONG RegistryStore::QueryValue(KeyId key, std::string_view name, DWORD* type, BYTE* data, DWORD* size) {
    if (data && !size) return ERROR_INVALID_PARAMETER;
    BeginRead();
    std::string folded = FoldCase(name);
    if (m_cacheOn && !m_cache.Loaded(key)) {
        // Callers read most values of a key in a row: one statement reads them all.
        Statement st(*this, kKeyValues);
        st.Bind(1, key);
        int rc;
        while ((rc = st.Step()) == SQLITE_ROW)
            m_cache.StoreValue(key, st.Text(0), {true, static_cast<DWORD>(st.Int(1)), std::string(st.Blob(2))});
        if (rc != SQLITE_DONE) {
            m_cache.Clear();
            return Failure(rc);
        }
        m_cache.MarkLoaded(key);
    }
    const RegistryReadCache::Value* value = m_cacheOn ? m_cache.FindValue(key, folded) : nullptr;
    RegistryReadCache::Value read;
    if (!value) {
        Statement st(*this, kQueryValue);
        int rc = st.Bind(1, key).Bind(2, folded).Step();
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Failure(rc);
        read.Found = rc == SQLITE_ROW;
        if (read.Found) {
            read.Type = static_cast<DWORD>(st.Int(0));
            read.Data = st.Blob(1);
        }
        value = &read;
    }
    if (!value->Found) return Missing(key);
    const std::string& bytes = value->Data;
    if (type) *type = value->Type;
    if (data && bytes.size() > *size) {
        *size = static_cast<DWORD>(bytes.size());
        return ERROR_MORE_DATA;
    }
    if (data) std::memcpy(data, bytes.data(), bytes.size());
    if (size) *size = static_cast<DWORD>(bytes.size());
    return ERROR_SUCCESS;
}

LONG RegistryStore::SetValue(KeyId key, std::string_view name, DWORD type, const BYTE* data, DWORD size) {
    if (!data && size) return ERROR_INVALID_PARAMETER;
    std::string folded = FoldCase(name);
    WriteTransaction transaction(*this);
    if (LONG begun = transaction.Status()) return begun;
    bool exists = false;
    if (LONG status = Exists(key, &exists)) return status;
    if (!exists) return ERROR_KEY_DELETED;
    {
        Statement st(*this, kSetValue);
        int rc = st.Bind(1, key).Bind(2, name).Bind(3, folded).Bind(4, std::int64_t{type}).BindBlob(5, data, size).Step();
        if (rc != SQLITE_DONE) return Failure(rc);
    }
    return transaction.Commit();
}

LONG RegistryStore::DeleteValue(KeyId key, std::string_view name) {
    std::string folded = FoldCase(name);
    WriteTransaction transaction(*this);
    if (LONG begun = transaction.Status()) return begun;
    {
        Statement st(*this, kDeleteValue);
        int rc = st.Bind(1, key).Bind(2, folded).Step();
        if (rc != SQLITE_DONE) return Failure(rc);
    }
    if (sqlite3_changes(m_db) == 0) return Missing(key);
    return transaction.Commit();
}

LONG RegistryStore::EnumValue(KeyId key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                              DWORD* dataSize) {
    if (!name || !nameSize || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    BeginRead();
    Statement st(*this, kEnumValue);
    if (LONG status = StepToItem(st, key, index); status != ERROR_SUCCESS) return status;
    std::string_view text = st.Text(0);
    std::string_view bytes = st.Blob(2);
    // Nothing but the sizes changes on ERROR_MORE_DATA.
    if (!NameFits(text, nameSize)) return ERROR_MORE_DATA;
    if (data && bytes.size() > *dataSize) {
        *dataSize = static_cast<DWORD>(bytes.size());
        return ERROR_MORE_DATA;
    }
    PutName(text, name, nameSize);
    if (type) *type = static_cast<DWORD>(st.Int(1));
    if (data) std::memcpy(data, bytes.data(), bytes.size());
    if (dataSize) *dataSize = static_cast<DWORD>(bytes.size());
    return ERROR_SUCCESS;
}

LONG RegistryStore::Flush() {
    if (!m_dirty) return ERROR_SUCCESS;
    // Every commit is in the WAL or, once a checkpoint copied it, in the
    // database file, which the checkpoint synced before the WAL could be reused.
    // So one sync of the WAL makes every earlier write durable; a checkpoint of
    // its own would cost two more syncs and is left to SQLite's auto-checkpoint.
    sqlite3_file* wal = nullptr;
    int rc = sqlite3_file_control(m_db, "main", SQLITE_FCNTL_JOURNAL_POINTER, &wal);
    if (rc == SQLITE_OK && wal && wal->pMethods) {
        rc = wal->pMethods->xSync(wal, SQLITE_SYNC_NORMAL);
    } else {
        // No WAL open (cannot happen after a commit): a full checkpoint syncs the database.
        rc = sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_FULL, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) return Failure(rc);
    m_dirty = false;
    return ERROR_SUCCESS;
}

}  // namespace host::emulated
