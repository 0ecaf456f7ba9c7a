// Opening the registry database: a new one is made whole under a temporary
// name and then linked into place, so registry.db is never seen half-made; an
// existing one is checked before anything is written to it.
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/emulated/registry_store.h"

namespace fs = std::filesystem;

namespace host::emulated {

namespace {

constexpr int kSchemaVersion = 2;

// Key ids are never reused (AUTOINCREMENT), so a handle to a deleted key never
// sees a later key of the same name. Names are stored as given and looked up
// by their folded form; text compares bytewise, which orders UTF-8 by code point.
// vals_in_order lists a key's values by row, the order they enumerate in.
constexpr const char* kSchema =
    "BEGIN IMMEDIATE;"
    "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL,"
    " name TEXT NOT NULL, folded TEXT NOT NULL, UNIQUE(parent, folded));"
    "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL, name TEXT NOT NULL, folded TEXT NOT NULL,"
    " type INTEGER NOT NULL, data BLOB NOT NULL, UNIQUE(key, folded));"
    "CREATE INDEX IF NOT EXISTS vals_in_order ON vals(key);"
    "PRAGMA user_version=2;"
    "COMMIT;";

bool IsDamage(int rc) { return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB; }

// Why SQLite refused, in its words, unless the cause is one it misnames: a
// reader needs the shared-memory file beside the database, and in a folder it
// may not write, where that file is missing, SQLite calls the database read-only.
std::string Reason(sqlite3* db) {
    const fs::path file = sqlite3_db_filename(db, "main");
    const fs::path shm = file.string() + "-shm";
    std::error_code ec;
    if (!file.empty() && !fs::exists(shm, ec) && access(file.parent_path().c_str(), W_OK) != 0)
        return "its folder " + file.parent_path().string() + " is not writable, so the file " +
               shm.filename().string() + " that every reader needs beside it cannot be made";
    return sqlite3_errmsg(db);
}

// A registry is a few pages. SQLite's default bulk allocation of twenty cache
// pages a connection, every one written when it is carved up, is resident
// memory nobody uses; pages are allocated as they are read instead. The setting
// is process-wide and only taken before SQLite's first use: later it is
// refused, and the default stays.
void ConfigureSqliteOnce() {
    static const int configured = sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
    (void)configured;
}

}  // namespace

bool RegistryStore::CreateFile(const fs::path& file, std::string* problem) {
    const fs::path fresh = file.string() + ".new-" + std::to_string(getpid());
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(fresh.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
    std::string why = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);  // the last connection folds the WAL into the file and removes it
    // link() refuses to replace: when another process made the file first, its file stays.
    if (rc == SQLITE_OK && link(fresh.c_str(), file.c_str()) != 0 && errno != EEXIST) {
        rc = SQLITE_CANTOPEN;
        why = std::strerror(errno);
    }
    std::error_code ec;
    fs::remove(fresh, ec);
    if (rc != SQLITE_OK) *problem = "cannot be created (" + why + ")";
    return rc == SQLITE_OK;
}

std::unique_ptr<RegistryStore> RegistryStore::Open(const fs::path& file, bool create, std::string* problem) {
    ConfigureSqliteOnce();
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
    // An empty registry in a root that was never set up would pass for a host
    // with no station and no users: only the set-up makes one.
    if (!exists && !create) {
        *problem = "does not exist: the host root " + file.parent_path().string() +
                   " is not set up (run \"v7-host init\")";
        return nullptr;
    }
    if (!exists && !CreateFile(file, problem)) return nullptr;
    // An empty file is what a lost disk write or a careless copy leaves; taking it
    // for a new registry would silently replace every setting with defaults.
    if (exists && fs::is_regular_file(file, ec) && fs::file_size(file, ec) == 0 && !ec) {
        *problem = "is empty (0 bytes) and holds no registry; restore it or set the host up again"
                   " (\"v7-host init --force\")";
        return nullptr;
    }
    sqlite3* db = nullptr;
    // A file this process may not write opens for reading only.
    int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<RegistryStore> store(new RegistryStore(db));
    if (rc != SQLITE_OK) {
        *problem = std::string("cannot be opened (") + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)) + ")";
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    store->m_readOnly = sqlite3_db_readonly(db, "main") == 1;
    if (!store->Prepare(problem)) return nullptr;
    store->m_counter.Open(file.string() + "-gen", store->m_readOnly);
    return store;
}

bool RegistryStore::Prepare(std::string* problem) {
    auto fail = [&](int rc, const char* what) {
        *problem = std::string(IsDamage(rc) ? "is damaged" : what) + " (" + Reason(m_db) + ")";
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
    if (tables == 0 && m_readOnly) {
        *problem = "holds no registry and cannot be written";
        return false;
    }
    if (!m_readOnly) {
        // Commits need no fsync (synchronous=NORMAL); RegFlushKey is the durability point.
        rc = sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return fail(rc, "cannot be set up");
        if (version < kSchemaVersion) {
            // Also an older registry gets the index that keeps value enumeration fast.
            rc = sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) {
                sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
                return fail(rc, "cannot be set up");
            }
        }
    }
    return PrepareStatements(problem);
}

}  // namespace host::emulated
