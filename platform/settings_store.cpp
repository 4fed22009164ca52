#include "platform/settings_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/clock.h"
#include "platform/filesystem.h"
#include "platform/settings_store_schema.h"
#include "platform/store_name_fold.h"

namespace kestrova::platform {
namespace {

constexpr int64_t kRootId = 1;
constexpr int kBusyTimeoutMs = 10000;

void NoteFault(sqlite3* db, int rc);

// One prepared statement, finalized when it goes out of scope. A failure is noted as the store's
// fault.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (db == nullptr) return;
        const int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
        if (rc != SQLITE_OK) {
            NoteFault(db, rc);
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return stmt_ != nullptr; }
    Statement& Bind(int index, int64_t value) {
        if (stmt_) sqlite3_bind_int64(stmt_, index, value);
        return *this;
    }
    Statement& Bind(int index, std::string_view bytes) {
        // A zero-length blob must still be a blob, not NULL: pass a valid pointer.
        if (stmt_)
            sqlite3_bind_blob(stmt_, index, bytes.empty() ? "" : bytes.data(),
                              static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() {
        if (!stmt_) return SQLITE_ERROR;
        const int rc = sqlite3_step(stmt_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) NoteFault(db_, rc);
        return rc;
    }
    int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string Blob(int column) const {
        const void* p = sqlite3_column_blob(stmt_, column);
        int n = sqlite3_column_bytes(stmt_, column);
        return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

struct OpenHandle {
    int64_t id;
    bool writable;
};

// Folds the write-ahead log into the database file, leaving the log empty, and closes.
void CloseDatabase(sqlite3* db) {
    if (db == nullptr) return;
    sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_close(db);
}

// The process's one connection and its table of open handles.
struct Connection {
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { CloseDatabase(db); }

    sqlite3* db = nullptr;
    bool readOnly = false;
    bool openFailed = false;
    bool damaged = false;  // malformed or not a database: never written again
    bool inBatch = false;
    StoreFault fault;
    std::map<StoreKey, OpenHandle> handles;
    StoreKey nextHandle = 0x1000;
};

Connection& Conn() {
    static Connection connection;
    return connection;
}

void SetFault(const std::string& path, const std::string& reason) {
    Conn().fault = {path, reason};
}

// Each call of the interface starts without a fault, except on a store that could not be opened.
void BeginCall() {
    if (!Conn().openFailed) Conn().fault = {};
}

void NoteFault(sqlite3* db, int rc) {
    const int primary = rc & 0xFF;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) Conn().damaged = true;
    SetFault(SettingsStorePath(), db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

void ReportOpenFailure(const std::string& path, const char* what) {
    SetFault(path, what);
    std::fprintf(stderr, "kestrova: settings store %s: %s\n", path.c_str(), what);
}

bool Exec(sqlite3* db, const char* sql) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) NoteFault(db, rc);
    return rc == SQLITE_OK;
}

// The database and its -wal and -shm files hold the scrambled passwords: private to the user,
// whatever the umask or the home folder's mode. A missing database is made empty with mode 0600
// (SQLite gives the -wal and -shm files the mode of the database); an older file loses the
// group's and others' bits. Returns whether the database was made here.
bool MakePrivate(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) close(fd);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const std::string file = path + suffix;
        struct stat st;
        if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 077) != 0)
            chmod(file.c_str(), st.st_mode & 0700);
    }
    return fd >= 0;
}

// Switching a new database to WAL needs it to itself for a moment, and the busy handler is not
// consulted for that; another process opening the same new store retries until it can.
bool SwitchToWal(sqlite3* db) {
    for (int waited = 0; waited < kBusyTimeoutMs; waited += 10) {
        Statement mode(db, "PRAGMA journal_mode=WAL");
        const int rc = mode.Step();
        if (rc == SQLITE_ROW && mode.Blob(0) == "wal") return true;
        if ((rc & 0xFF) != SQLITE_BUSY && (rc & 0xFF) != SQLITE_LOCKED) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A database made by a failed open is removed again (with its -wal and -shm files): an empty
// file left behind, e.g. on a full disk, would be taken for a store the next time.
void CloseFailed(sqlite3* db, const std::string& path, bool made) {
    sqlite3_close(db);
    if (!made) return;
    for (const char* suffix : {"", "-wal", "-shm"}) unlink((path + suffix).c_str());
}

sqlite3* OpenDatabase(const std::string& path, bool& readOnly) {
    sqlite3* db = nullptr;
    const bool made = MakePrivate(path);
    // A database file that cannot be written is opened for reading: every key is then read-only.
    if (sqlite3_open_v2(path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        ReportOpenFailure(path, db ? sqlite3_errmsg(db) : "out of memory");
        CloseFailed(db, path, made);
        return nullptr;
    }
    readOnly = sqlite3_db_readonly(db, "main") == 1;
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    Exec(db, "PRAGMA foreign_keys=ON");
    if (!readOnly && (!SwitchToWal(db) || !Exec(db, "PRAGMA synchronous=NORMAL"))) {
        ReportOpenFailure(path, sqlite3_errmsg(db));
        CloseFailed(db, path, made);
        return nullptr;
    }
    std::string problem;
    if (!PrepareSchema(db, readOnly, problem)) {
        ReportOpenFailure(path, problem.c_str());
        CloseFailed(db, path, made);
        return nullptr;
    }
    return db;
}

// The connection, opened on first use; null when the store cannot be opened (reported once).
sqlite3* Db() {
    Connection& c = Conn();
    if (c.db == nullptr && !c.openFailed) {
        c.db = OpenDatabase(SettingsStorePath(), c.readOnly);
        c.openFailed = c.db == nullptr;
    }
    return c.db;
}

int64_t Now() {
    return static_cast<int64_t>(FileTimeToU64(NowFileTime()));
}

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Child key id by name; 0 when missing, -1 on a database failure.
int64_t FindChild(int64_t parent, std::string_view name) {
    Statement s(Db(), "SELECT id FROM keys WHERE parent=? AND fold=?");
    s.Bind(1, parent).Bind(2, FoldStoreName(name));
    int rc = s.Step();
    if (rc == SQLITE_ROW) return s.Int(0);
    return rc == SQLITE_DONE ? 0 : -1;
}

StoreResult Resolve(int64_t from, std::string_view path, int64_t& id) {
    id = from;
    for (std::string_view part : SplitPath(path)) {
        id = FindChild(id, part);
        if (id < 0) return StoreResult::Failed;
        if (id == 0) return StoreResult::NotFound;
    }
    return StoreResult::Ok;
}

bool KeyExists(int64_t id) {
    Statement s(Db(), "SELECT 1 FROM keys WHERE id=?");
    s.Bind(1, id);
    return s.Step() == SQLITE_ROW;
}

bool IsLocked(int64_t id) {
    Statement s(Db(), "SELECT locked FROM keys WHERE id=?");
    s.Bind(1, id);
    return s.Step() == SQLITE_ROW && s.Int(0) != 0;
}

bool Touch(int64_t id) {
    Statement s(Db(), "UPDATE keys SET write_time=? WHERE id=?");
    s.Bind(1, Now()).Bind(2, id);
    return s.Step() == SQLITE_DONE;
}

// The key id behind a handle; HKEY_CURRENT_USER is the root key, always open for full access.
bool Lookup(StoreKey key, OpenHandle& handle) {
    if (key == HKEY_CURRENT_USER) {
        handle = {kRootId, true};
        return true;
    }
    auto it = Conn().handles.find(key);
    if (it == Conn().handles.end()) return false;
    handle = it->second;
    return true;
}

StoreKey NewHandle(int64_t id, bool writable) {
    Connection& c = Conn();
    StoreKey key = c.nextHandle++;
    c.handles[key] = {id, writable};
    return key;
}

bool PlainName(std::string_view name) {
    if (!HasControlCharacter(name)) return true;
    SetFault(SettingsStorePath(), "a name with a control character");
    return false;
}

// False, with the fault noted, when the database must not be written: it is read-only or damaged.
bool Writable() {
    Connection& c = Conn();
    if (c.readOnly) SetFault(SettingsStorePath(), sqlite3_errstr(SQLITE_READONLY));
    if (c.damaged && c.fault.reason.empty())
        SetFault(SettingsStorePath(), sqlite3_errstr(SQLITE_CORRUPT));
    return !c.readOnly && !c.damaged;
}

// Runs body as one transaction (a savepoint inside a batch); rolls back unless it returns Ok.
template <typename Body>
StoreResult InTransaction(Body body) {
    sqlite3* db = Db();
    if (db == nullptr || !Writable()) return StoreResult::Failed;
    bool nested = Conn().inBatch;
    if (!Exec(db, nested ? "SAVEPOINT store_write" : "BEGIN IMMEDIATE")) return StoreResult::Failed;
    StoreResult result = body();
    if (result == StoreResult::Ok) {
        if (Exec(db, nested ? "RELEASE store_write" : "COMMIT")) return result;
        result = StoreResult::Failed;
    }
    if (nested) {
        Exec(db, "ROLLBACK TO store_write");
        Exec(db, "RELEASE store_write");
    } else {
        Exec(db, "ROLLBACK");
    }
    return result;
}

StoreResult WritableId(StoreKey key, int64_t& id) {
    OpenHandle handle;
    if (!Lookup(key, handle)) return StoreResult::Failed;
    if (!handle.writable) return StoreResult::AccessDenied;
    id = handle.id;
    return KeyExists(id) ? StoreResult::Ok : StoreResult::NotFound;
}

}  // namespace

bool HasControlCharacter(std::string_view name) {
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

std::string SettingsStorePath() {
    std::string home = HomeFolder();
    if (!home.empty() && home.back() != kPathDelim) home += kPathDelim;
    return ToNativePath(home + "registry.db");
}

StoreResult StoreOpenKey(StoreKey base, std::string_view path, StoreAccess access, StoreKey& key) {
    BeginCall();
    key = 0;
    OpenHandle from;
    if (Db() == nullptr || !Lookup(base, from)) return StoreResult::Failed;
    int64_t id;
    StoreResult r = Resolve(from.id, path, id);
    if (r != StoreResult::Ok) return r;
    bool writable = access == StoreAccess::Full;
    if (writable && (Conn().readOnly || IsLocked(id))) return StoreResult::AccessDenied;
    key = NewHandle(id, writable);
    return StoreResult::Ok;
}

StoreResult StoreCreateKey(StoreKey base, std::string_view path, StoreKey& key) {
    BeginCall();
    key = 0;
    OpenHandle from;
    if (Db() == nullptr || !Lookup(base, from)) return StoreResult::Failed;
    int64_t id = from.id;
    if (Conn().readOnly && !Conn().damaged) {
        // Nothing can be made, but an existing key still opens for reading.
        StoreResult r = Resolve(from.id, path, id);
        if (r == StoreResult::Ok) key = NewHandle(id, false);
        if (r == StoreResult::NotFound) Writable();  // notes why nothing could be made
        return r == StoreResult::Ok ? r : StoreResult::Failed;
    }
    StoreResult r = InTransaction([&] {
        if (!KeyExists(id)) return StoreResult::NotFound;
        for (std::string_view part : SplitPath(path)) {
            if (!PlainName(part)) return StoreResult::Failed;
            int64_t child = FindChild(id, part);
            if (child < 0) return StoreResult::Failed;
            if (child == 0) {
                if (IsLocked(id)) return StoreResult::AccessDenied;
                Statement s(Db(),
                            "INSERT INTO keys(parent, name, fold, write_time) VALUES(?,?,?,?)");
                s.Bind(1, id).Bind(2, part).Bind(3, FoldStoreName(part)).Bind(4, Now());
                if (s.Step() != SQLITE_DONE || !Touch(id)) return StoreResult::Failed;
                child = sqlite3_last_insert_rowid(Db());
            }
            id = child;
        }
        return IsLocked(id) ? StoreResult::AccessDenied : StoreResult::Ok;
    });
    if (r == StoreResult::Ok) key = NewHandle(id, true);
    return r;
}

void StoreCloseKey(StoreKey key) {
    Conn().handles.erase(key);
}

StoreResult StoreDeleteTree(StoreKey base, std::string_view path) {
    BeginCall();
    OpenHandle from;
    if (Db() == nullptr || !Lookup(base, from)) return StoreResult::Failed;
    return InTransaction([&] {
        int64_t id;
        StoreResult r = Resolve(from.id, path, id);
        if (r != StoreResult::Ok) return r;
        if (id == kRootId) return StoreResult::AccessDenied;
        static const char* const kTree =
            "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM keys k JOIN tree t "
            "ON k.parent=t.id) ";
        Statement locked(
            Db(),
            (std::string(kTree) + "SELECT 1 FROM keys WHERE locked<>0 AND id IN tree").c_str());
        locked.Bind(1, id);
        int rc = locked.Step();
        if (rc == SQLITE_ROW) return StoreResult::AccessDenied;
        if (rc != SQLITE_DONE) return StoreResult::Failed;
        Statement parent(Db(), "SELECT parent FROM keys WHERE id=?");
        parent.Bind(1, id);
        if (parent.Step() != SQLITE_ROW) return StoreResult::Failed;
        int64_t parentId = parent.Int(0);
        Statement del(Db(), (std::string(kTree) + "DELETE FROM keys WHERE id IN tree").c_str());
        del.Bind(1, id);
        if (del.Step() != SQLITE_DONE || !Touch(parentId)) return StoreResult::Failed;
        return StoreResult::Ok;
    });
}

StoreResult StoreSetKeyLocked(StoreKey base, std::string_view path, bool locked) {
    BeginCall();
    OpenHandle from;
    if (Db() == nullptr || !Lookup(base, from)) return StoreResult::Failed;
    return InTransaction([&] {
        int64_t id;
        StoreResult r = Resolve(from.id, path, id);
        if (r != StoreResult::Ok) return r;
        Statement s(Db(), "UPDATE keys SET locked=? WHERE id=?");
        s.Bind(1, locked ? 1 : 0).Bind(2, id);
        return s.Step() == SQLITE_DONE ? StoreResult::Ok : StoreResult::Failed;
    });
}

StoreResult StoreQueryInfo(StoreKey key, StoreKeyInfo& info) {
    BeginCall();
    info = {};
    OpenHandle handle;
    if (Db() == nullptr || !Lookup(key, handle)) return StoreResult::Failed;
    Statement k(Db(),
                "SELECT write_time, (SELECT count(*) FROM keys c WHERE c.parent=k.id),"
                " (SELECT coalesce(max(length(c.name)),0) FROM keys c WHERE c.parent=k.id),"
                " (SELECT count(*) FROM vals v WHERE v.key=k.id),"
                " (SELECT coalesce(max(length(v.name)),0) FROM vals v WHERE v.key=k.id),"
                " (SELECT coalesce(max(length(v.data)),0) FROM vals v WHERE v.key=k.id)"
                " FROM keys k WHERE k.id=?");
    k.Bind(1, handle.id);
    int rc = k.Step();
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? StoreResult::NotFound : StoreResult::Failed;
    info.LastWriteTime = U64ToFileTime(static_cast<uint64_t>(k.Int(0)));
    info.SubKeys = static_cast<uint32_t>(k.Int(1));
    info.MaxSubKeyLen = static_cast<uint32_t>(k.Int(2));
    info.Values = static_cast<uint32_t>(k.Int(3));
    info.MaxValueNameLen = static_cast<uint32_t>(k.Int(4));
    info.MaxValueLen = static_cast<uint32_t>(k.Int(5));
    return StoreResult::Ok;
}

namespace {

StoreResult EnumName(StoreKey key, uint32_t index, const char* sql, std::string& name) {
    BeginCall();
    OpenHandle handle;
    if (Db() == nullptr || !Lookup(key, handle)) return StoreResult::Failed;
    Statement s(Db(), sql);
    s.Bind(1, handle.id).Bind(2, static_cast<int64_t>(index));
    int rc = s.Step();
    if (rc == SQLITE_ROW) {
        name = s.Blob(0);
        return StoreResult::Ok;
    }
    return rc == SQLITE_DONE ? StoreResult::NotFound : StoreResult::Failed;
}

}  // namespace

StoreResult StoreEnumKey(StoreKey key, uint32_t index, std::string& name) {
    return EnumName(key, index,
                    "SELECT name FROM keys WHERE parent=? ORDER BY fold, name LIMIT 1 OFFSET ?",
                    name);
}

StoreResult StoreEnumValue(StoreKey key, uint32_t index, std::string& name) {
    return EnumName(key, index, "SELECT name FROM vals WHERE key=? ORDER BY id LIMIT 1 OFFSET ?",
                    name);
}

StoreResult StoreQueryValue(StoreKey key, std::string_view name, uint32_t& type,
                            std::string& data) {
    BeginCall();
    OpenHandle handle;
    if (Db() == nullptr || !Lookup(key, handle)) return StoreResult::Failed;
    Statement s(Db(), "SELECT type, data FROM vals WHERE key=? AND fold=?");
    s.Bind(1, handle.id).Bind(2, FoldStoreName(name));
    int rc = s.Step();
    if (rc == SQLITE_ROW) {
        type = static_cast<uint32_t>(s.Int(0));
        data = s.Blob(1);
        return StoreResult::Ok;
    }
    return rc == SQLITE_DONE ? StoreResult::NotFound : StoreResult::Failed;
}

StoreResult StoreSetValue(StoreKey key, std::string_view name, uint32_t type,
                          std::string_view data) {
    BeginCall();
    if (Db() == nullptr) return StoreResult::Failed;
    return InTransaction([&] {
        int64_t id;
        StoreResult r = WritableId(key, id);
        if (r != StoreResult::Ok) return r;
        if (!PlainName(name)) return StoreResult::Failed;
        // An existing value keeps its place (and the spelling of its name); a new one goes last.
        Statement s(Db(),
                    "INSERT INTO vals(key, name, fold, type, data) VALUES(?1,?2,?3,?4,?5)"
                    " ON CONFLICT(key, fold) DO UPDATE SET type=excluded.type, data=excluded.data");
        s.Bind(1, id)
            .Bind(2, name)
            .Bind(3, FoldStoreName(name))
            .Bind(4, static_cast<int64_t>(type))
            .Bind(5, data);
        return s.Step() == SQLITE_DONE && Touch(id) ? StoreResult::Ok : StoreResult::Failed;
    });
}

StoreResult StoreDeleteValue(StoreKey key, std::string_view name) {
    BeginCall();
    if (Db() == nullptr) return StoreResult::Failed;
    return InTransaction([&] {
        int64_t id;
        StoreResult r = WritableId(key, id);
        if (r != StoreResult::Ok) return r;
        Statement s(Db(), "DELETE FROM vals WHERE key=? AND fold=?");
        s.Bind(1, id).Bind(2, FoldStoreName(name));
        if (s.Step() != SQLITE_DONE) return StoreResult::Failed;
        if (sqlite3_changes(Db()) == 0) return StoreResult::NotFound;
        return Touch(id) ? StoreResult::Ok : StoreResult::Failed;
    });
}

StoreBatch::StoreBatch() {
    BeginCall();
    sqlite3* db = Db();
    if (db == nullptr || Conn().inBatch || !Writable() || !Exec(db, "BEGIN IMMEDIATE")) return;
    open_ = true;
    Conn().inBatch = true;
}

StoreBatch::~StoreBatch() {
    if (open_) {
        Exec(Db(), "ROLLBACK");
        Conn().inBatch = false;
    }
}

bool StoreBatch::Commit() {
    if (!open_) return false;
    bool ok = Exec(Db(), "COMMIT");
    if (!ok) Exec(Db(), "ROLLBACK");
    open_ = false;
    Conn().inBatch = false;
    return ok;
}

void ResetSettingsStore() {
    Connection& c = Conn();
    CloseDatabase(c.db);
    c.db = nullptr;
    c.readOnly = c.openFailed = c.damaged = c.inBatch = false;
    c.fault = {};
    c.handles.clear();
}

StoreFault LastStoreFault() {
    return Conn().fault;
}

StoreResult StoreReadTree(StoreKey key, std::vector<StoreTreeKey>& keys) {
    BeginCall();
    keys.clear();
    OpenHandle top;
    if (Db() == nullptr || !Lookup(key, top)) return StoreResult::Failed;
    if (!KeyExists(top.id)) return StoreResult::NotFound;
    // One snapshot for both queries (inside a batch the batch's transaction is the snapshot).
    const bool ownSnapshot = !Conn().inBatch && Exec(Db(), "BEGIN");
    std::unordered_map<int64_t, std::vector<std::pair<int64_t, std::string>>> children;
    std::unordered_map<int64_t, std::vector<StoreTreeValue>> values;
    Statement k(Db(),
                "SELECT id, parent, name FROM keys WHERE parent IS NOT NULL"
                " ORDER BY parent, fold, name");
    int rc;
    while ((rc = k.Step()) == SQLITE_ROW) children[k.Int(1)].emplace_back(k.Int(0), k.Blob(2));
    Statement v(Db(), "SELECT key, name, type, data FROM vals ORDER BY key, id");
    int rcValues = rc == SQLITE_DONE ? SQLITE_ROW : rc;
    while (rcValues == SQLITE_ROW && (rcValues = v.Step()) == SQLITE_ROW)
        values[v.Int(0)].push_back({v.Blob(1), static_cast<uint32_t>(v.Int(2)), v.Blob(3)});
    if (ownSnapshot) Exec(Db(), "COMMIT");
    if (rcValues != SQLITE_DONE) return StoreResult::Failed;

    struct Pending {
        int64_t id;
        size_t depth;
        std::string name;
    };
    std::vector<Pending> stack{{top.id, 0, {}}};
    while (!stack.empty()) {
        Pending next = std::move(stack.back());
        stack.pop_back();
        StoreTreeKey& out = keys.emplace_back();
        out.depth = next.depth;
        out.name = std::move(next.name);
        if (auto it = values.find(next.id); it != values.end()) out.values = std::move(it->second);
        if (auto it = children.find(next.id); it != children.end())
            for (auto child = it->second.rbegin(); child != it->second.rend(); ++child)
                stack.push_back({child->first, next.depth + 1, std::move(child->second)});
    }
    return StoreResult::Ok;
}

}  // namespace kestrova::platform
