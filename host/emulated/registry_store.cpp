#include "host/emulated/registry_store.h"

#include <sqlite3.h>

#include <cstring>

#include "host/registry.h"
#include "host/text.h"


namespace host::emulated {

namespace {

const char* const kQueries[] = {
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    // Inside a batch each call is a savepoint, so a failed call takes back its own part.
    "SAVEPOINT one_call",
    "RELEASE one_call",
    "ROLLBACK TO one_call",
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
    // Subkeys are read a run of names at a time (EnumCursor::kRun).
    "SELECT name, folded FROM keys WHERE parent=?1 ORDER BY folded LIMIT 64 OFFSET ?2",
    "SELECT name, folded FROM keys WHERE parent=?1 AND folded>?2 ORDER BY folded LIMIT 64",
    "SELECT name, type, data, rowid FROM vals WHERE key=?1 ORDER BY rowid LIMIT 1 OFFSET ?2",
    "SELECT name, type, data, rowid FROM vals WHERE key=?1 AND rowid>?2 ORDER BY rowid LIMIT 1",
    "SELECT folded, type, data FROM vals WHERE key=?1",
    // Levels above the key; bounded, so a damaged parent chain cannot loop.
    "WITH RECURSIVE up(id) AS (SELECT ?1 UNION ALL SELECT parent FROM keys JOIN up ON keys.id=up.id LIMIT 100000)"
    " SELECT count(*)-1 FROM up",
};

bool IsDamage(int rc) { return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB; }

}  // namespace

enum RegistryStore::Query : int {
    kBegin,
    kCommit,
    kRollback,
    kSavepoint,
    kRelease,
    kRollbackTo,
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
    kEnumKeyAfter,
    kEnumValue,
    kEnumValueAfter,
    kKeyValues,
    kDepth,
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
// Inside a batch the lock is already held and the write is a savepoint.
class RegistryStore::WriteTransaction {
public:
    explicit WriteTransaction(RegistryStore& store) : m_store(store), m_nested(store.m_batch) {
        int rc = Statement(store, m_nested ? kSavepoint : kBegin).Step();
        m_open = rc == SQLITE_DONE;
        m_status = m_open ? kErrorSuccess : store.Failure(rc);
        if (!m_open) return;
        store.m_cacheOn = false;
        ++store.m_ownWrites;
        if (!m_nested) store.m_counter.BeginWrite();
    }
    ~WriteTransaction() {
        if (!m_open) return;
        if (m_nested) {
            Statement(m_store, kRollbackTo).Step();
            Statement(m_store, kRelease).Step();
        } else {
            Statement(m_store, kRollback).Step();
            m_store.m_counter.EndWrite();
        }
        m_store.ForgetAll();
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    LONG Status() const { return m_status; }
    LONG Commit() {
        int rc = Statement(m_store, m_nested ? kRelease : kCommit).Step();
        if (rc != SQLITE_DONE) return m_store.Failure(rc);
        m_open = false;
        if (!m_nested) {
            m_store.m_dirty = true;
            m_store.m_counter.EndWrite();
        }
        return kErrorSuccess;
    }

private:
    RegistryStore& m_store;
    bool m_nested;
    bool m_open = false;
    LONG m_status = kErrorSuccess;
};

RegistryStore::RegistryStore(sqlite3* db) : m_db(db) {}

RegistryStore::~RegistryStore() {
    for (sqlite3_stmt* stmt : m_statements) sqlite3_finalize(stmt);
    sqlite3_close(m_db);
}

bool RegistryStore::PrepareStatements(std::string* problem) {
    static_assert(sizeof kQueries / sizeof kQueries[0] == kQueryCount);
    m_statements.assign(kQueryCount, nullptr);
    for (int i = 0; i < kQueryCount; ++i) {
        int rc = sqlite3_prepare_v3(m_db, kQueries[i], -1, SQLITE_PREPARE_PERSISTENT, &m_statements[i], nullptr);
        if (rc != SQLITE_OK) {
            *problem = std::string(IsDamage(rc) ? "is damaged" : "cannot be used") + " (" + sqlite3_errmsg(m_db) + ")";
            return false;
        }
    }
    return true;
}

sqlite3_stmt* RegistryStore::Get(Query query) { return m_statements[query]; }

LONG RegistryStore::Failure(int rc) {
    if (IsDamage(rc)) {
        if (m_problem.empty()) m_problem = std::string("is damaged (") + sqlite3_errmsg(m_db) + ")";
        return kErrorBadDb;
    }
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ERROR_REGISTRY_BUSY;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return kErrorAccessDenied;
    default:
        return kErrorRegistryIoFailed;
    }
}

std::uint64_t RegistryStore::View() const {
    // In a batch nobody else can write, so this process's own writes tell the states apart.
    if (m_batch) return (m_ownWrites << 1) | 1;
    return (m_generation & 1) == 0 ? m_generation : 0;
}

void RegistryStore::ForgetAll() {
    // A rolled-back key's id is handed out again, so no id learnt since may be kept.
    m_cache.Clear();
    m_keyCursors.Clear();
    m_valueCursors.Clear();
}

LONG RegistryStore::Depth(KeyId key, std::size_t* depth) {
    Statement st(*this, kDepth);
    int rc = st.Bind(1, key).Step();
    if (rc != SQLITE_ROW) return Failure(rc);
    *depth = static_cast<std::size_t>(st.Int(0));
    return kErrorSuccess;
}

LONG RegistryStore::Exists(KeyId key, bool* exists) {
    if (key == kRootKeyId) {
        *exists = true;
        return kErrorSuccess;
    }
    if (m_cacheOn) {
        if (std::optional<bool> cached = m_cache.Exists(key)) {
            *exists = *cached;
            return kErrorSuccess;
        }
    }
    Statement st(*this, kKeyExists);
    int rc = st.Bind(1, key).Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Failure(rc);
    *exists = rc == SQLITE_ROW;
    if (m_cacheOn) m_cache.StoreExists(key, *exists);
    return kErrorSuccess;
}

LONG RegistryStore::Missing(KeyId key) {
    bool exists = false;
    if (LONG status = Exists(key, &exists)) return status;
    return exists ? kErrorFileNotFound : kErrorKeyDeleted;
}

LONG RegistryStore::FindChild(KeyId parent, std::string_view folded, KeyId* child) {
    Statement st(*this, kFindChild);
    int rc = st.Bind(1, parent).Bind(2, folded).Step();
    if (rc == SQLITE_ROW) {
        *child = st.Int(0);
        return kErrorSuccess;
    }
    return rc == SQLITE_DONE ? kErrorFileNotFound : Failure(rc);
}

LONG RegistryStore::FindKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result) {
    BeginRead();
    return LookUpKey(parent, names, result);
}

LONG RegistryStore::LookUpKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result) {
    if (names.empty()) {
        bool exists = false;
        if (LONG status = Exists(parent, &exists)) return status;
        if (!exists) return kErrorKeyDeleted;
        *result = parent;
        return kErrorSuccess;
    }
    std::string path;
    for (std::string_view name : names) path.append(FoldCase(name)).push_back('\\');
    if (std::optional<KeyId> cached = m_cache.Path(parent, path)) {
        bool exists = false;
        if (LONG status = Exists(*cached, &exists)) return status;
        if (exists) {
            *result = *cached;
            return kErrorSuccess;
        }
        m_cache.ForgetPath(parent, path);
    }
    KeyId key = parent;
    std::string_view rest = path;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::size_t end = rest.find('\\');
        LONG status = FindChild(key, rest.substr(0, end), &key);
        if (status == kErrorFileNotFound && i == 0) return Missing(parent);
        if (status) return status;
        rest.remove_prefix(end + 1);
    }
    m_cache.StorePath(parent, path, key);
    *result = key;
    return kErrorSuccess;
}

LONG RegistryStore::CreateKey(KeyId parent, const std::vector<std::string_view>& names, KeyId* result) {
    // Most creates find the key already there: answer those without the write lock.
    LONG status = FindKey(parent, names, result);
    if (status != kErrorFileNotFound) return status;
    WriteTransaction transaction(*this);
    if (LONG begun = transaction.Status()) return begun;
    std::size_t depth = 0;
    if (LONG measured = Depth(parent, &depth)) return measured;
    if (depth + names.size() > kMaxKeyDepth) return kErrorInvalidParameter;
    KeyId key = parent;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string folded = FoldCase(names[i]);
        status = FindChild(key, folded, &key);
        if (status == kErrorFileNotFound) {
            if (i == 0) {
                bool exists = false;
                if (LONG checked = Exists(parent, &exists)) return checked;
                if (!exists) return kErrorKeyDeleted;
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
    return kErrorSuccess;
}

LONG RegistryStore::DeleteKey(KeyId parent, const std::vector<std::string_view>& names) {
    WriteTransaction transaction(*this);
    if (LONG begun = transaction.Status()) return begun;
    KeyId key = parent;
    if (LONG status = LookUpKey(parent, names, &key)) return status;
    if (key == kRootKeyId) return kErrorAccessDenied;
    {
        Statement st(*this, kHasChildren);
        int rc = st.Bind(1, key).Step();
        if (rc == SQLITE_ROW) return kErrorAccessDenied;
        if (rc != SQLITE_DONE) return Failure(rc);
    }
    for (Query query : {kDeleteKeyValues, kDeleteKeyRow}) {
        Statement st(*this, query);
        int rc = st.Bind(1, key).Step();
        if (rc != SQLITE_DONE) return Failure(rc);
    }
    return transaction.Commit();
}

LONG RegistryStore::StepToItem(Statement& st, KeyId key) {
    int rc = st.Bind(1, key).Step();
    if (rc == SQLITE_ROW) return kErrorSuccess;
    if (rc != SQLITE_DONE) return Failure(rc);
    LONG status = Missing(key);
    return status == kErrorFileNotFound ? kErrorNoMoreItems : status;
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
    if (!name || !nameSize) return kErrorInvalidParameter;
    BeginRead();
    const std::uint64_t view = View();
    const EnumCursor* cursor = view ? m_keyCursors.Find(key, view) : nullptr;
    if (!cursor || !cursor->Holds(index)) {
        // The index just past the run continues after its last name; any other counts from the start.
        const bool follows = cursor && cursor->Index + cursor->Names.size() == index && !cursor->Names.empty();
        EnumCursor run;
        run.View = view;
        run.Index = index;
        Statement st(*this, follows ? kEnumKeyAfter : kEnumKey);
        if (follows)
            st.Bind(2, std::string_view(cursor->Folded.back()));
        else
            st.Bind(2, static_cast<std::int64_t>(index));
        st.Bind(1, key);
        int rc;
        while ((rc = st.Step()) == SQLITE_ROW) {
            run.Names.emplace_back(st.Text(0));
            run.Folded.emplace_back(st.Text(1));
        }
        if (rc != SQLITE_DONE) return Failure(rc);
        if (run.Names.empty()) {
            LONG status = Missing(key);
            return status == kErrorFileNotFound ? kErrorNoMoreItems : status;
        }
        m_keyCursors.Store(key, std::move(run));
        cursor = m_keyCursors.Find(key, view);
    }
    const std::string& text = cursor->Names[index - cursor->Index];
    if (!NameFits(text, nameSize)) return kErrorMoreData;
    PutName(text, name, nameSize);
    return kErrorSuccess;
}

LONG RegistryStore::QueryValue(KeyId key, std::string_view name, DWORD* type, BYTE* data, DWORD* size) {
    if (data && !size) return kErrorInvalidParameter;
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
        return kErrorMoreData;
    }
    if (data) std::memcpy(data, bytes.data(), bytes.size());
    if (size) *size = static_cast<DWORD>(bytes.size());
    return kErrorSuccess;
}

LONG RegistryStore::SetValue(KeyId key, std::string_view name, DWORD type, const BYTE* data, DWORD size) {
    if ((!data && size) || name.size() > kMaxValueNameBytes) return kErrorInvalidParameter;
    std::string folded = FoldCase(name);
    WriteTransaction transaction(*this);
    if (LONG begun = transaction.Status()) return begun;
    bool exists = false;
    if (LONG status = Exists(key, &exists)) return status;
    if (!exists) return kErrorKeyDeleted;
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
    if (!name || !nameSize || (data && !dataSize)) return kErrorInvalidParameter;
    BeginRead();
    const std::uint64_t view = View();
    const EnumCursor* cursor = view ? m_valueCursors.Find(key, view) : nullptr;
    // From the cursor: its own row again (the data asked after the size), or the next one.
    const bool again = cursor && cursor->Index == index;
    const bool follows = cursor && (again || cursor->Index + 1 == index);
    Statement st(*this, follows ? kEnumValueAfter : kEnumValue);
    st.Bind(2, follows ? cursor->Row - (again ? 1 : 0) : static_cast<std::int64_t>(index));
    if (LONG status = StepToItem(st, key)) return status;
    if (view) m_valueCursors.Store(key, EnumCursor{view, index, {}, {}, st.Int(3)});
    std::string_view text = st.Text(0);
    std::string_view bytes = st.Blob(2);
    // Nothing but the sizes changes on ERROR_MORE_DATA.
    if (!NameFits(text, nameSize)) return kErrorMoreData;
    if (data && bytes.size() > *dataSize) {
        *dataSize = static_cast<DWORD>(bytes.size());
        return kErrorMoreData;
    }
    PutName(text, name, nameSize);
    if (type) *type = static_cast<DWORD>(st.Int(1));
    if (data) std::memcpy(data, bytes.data(), bytes.size());
    if (dataSize) *dataSize = static_cast<DWORD>(bytes.size());
    return kErrorSuccess;
}

LONG RegistryStore::Flush() {
    if (m_batch) {
        m_flushAtCommit = true;
        return kErrorSuccess;
    }
    if (!m_dirty) return kErrorSuccess;
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
    return kErrorSuccess;
}

}  // namespace host::emulated

namespace host::emulated {

LONG RegistryStore::BeginBatch() {
    if (m_batch) {
        ++m_innerBatches;
        return kErrorSuccess;
    }
    // A registry this process may only read (another user's) takes no write
    // of a batch: refused here, not found out value by value at the commit.
    if (m_readOnly) return kErrorAccessDenied;
    BeginRead();  // the counter is checked (and restored) before the lock is taken
    int rc = Statement(*this, kBegin).Step();
    if (rc != SQLITE_DONE) return Failure(rc);
    m_batch = true;
    m_batchDoomed = m_flushAtCommit = false;
    m_cacheOn = false;
    ++m_ownWrites;
    m_counter.BeginWrite();
    return kErrorSuccess;
}

LONG RegistryStore::CommitBatch() {
    if (!m_batch) return kErrorInvalidParameter;
    if (m_innerBatches) {
        --m_innerBatches;
        return kErrorSuccess;
    }
    if (m_batchDoomed) {
        RollbackBatch();
        return kErrorRegistryIoFailed;
    }
    int rc = Statement(*this, kCommit).Step();
    if (rc != SQLITE_DONE) {
        RollbackBatch();
        return Failure(rc);
    }
    m_batch = false;
    m_dirty = true;
    m_counter.EndWrite();
    return m_flushAtCommit ? Flush() : kErrorSuccess;
}

void RegistryStore::RollbackBatch() {
    if (!m_batch) return;
    if (m_innerBatches) {
        --m_innerBatches;
        m_batchDoomed = true;
        return;
    }
    Statement(*this, kRollback).Step();
    m_batch = false;
    m_counter.EndWrite();
    ForgetAll();
}

void RegistryStore::ReadGroup(bool enter) {
    if (enter) {
        if (m_readGroups++ == 0) m_groupLooked = false;
    } else if (m_readGroups > 0) {
        --m_readGroups;
    }
}

}  // namespace host::emulated
