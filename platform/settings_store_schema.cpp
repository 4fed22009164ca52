#include "platform/settings_store_schema.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/codepages.h"
#include "platform/settings_store.h"
#include "platform/store_name_fold.h"

namespace kestrova::platform {
namespace {

// Version 1. Keys: one row each, the root (id 1) stands for HKEY_CURRENT_USER; "fold" is the
// case-folded name used for look-up and order. Values: ordered by id, which is creation order.
constexpr const char* kCreateSchema = R"sql(
CREATE TABLE keys(
  id INTEGER PRIMARY KEY,
  parent INTEGER,
  name BLOB NOT NULL,
  fold BLOB NOT NULL,
  locked INTEGER NOT NULL DEFAULT 0,
  write_time INTEGER NOT NULL DEFAULT 0);
CREATE UNIQUE INDEX keys_by_name ON keys(parent, fold);
CREATE TABLE vals(
  id INTEGER PRIMARY KEY,
  key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
  name BLOB NOT NULL,
  fold BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL);
CREATE UNIQUE INDEX vals_by_name ON vals(key, fold);
CREATE TABLE meta(name TEXT PRIMARY KEY, value);
INSERT INTO keys(id, parent, name, fold) VALUES(1, NULL, x'', x'');
PRAGMA user_version = 1;
)sql";

bool Exec(sqlite3* db, const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

int UserVersion(sqlite3* db) {
    sqlite3_stmt* s = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        version = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    return version;
}

int FoldCodePage(sqlite3* db) {
    sqlite3_stmt* s = nullptr;
    int codePage = 0;
    if (sqlite3_prepare_v2(db, "SELECT value FROM meta WHERE name='fold_codepage'", -1, &s,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        codePage = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    return codePage;
}

constexpr int kStringKinds[] = {1, 2, 7};  // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ

// Reads column source of the rows that where selects and writes what value makes of it into
// column target (a row for which value gives nothing is left as it is); false on a failure.
bool RewriteColumn(sqlite3* db, const char* table, const char* source, const char* target,
                   const std::string& where,
                   const std::function<std::optional<std::string>(const std::string&)>& value) {
    std::vector<std::pair<sqlite3_int64, std::string>> rows;
    sqlite3_stmt* s = nullptr;
    const std::string select =
        std::string("SELECT id, ") + source + " FROM " + table + " WHERE " + where;
    if (sqlite3_prepare_v2(db, select.c_str(), -1, &s, nullptr) != SQLITE_OK) return false;
    while (sqlite3_step(s) == SQLITE_ROW) {
        const char* p = static_cast<const char*>(sqlite3_column_blob(s, 1));
        rows.emplace_back(sqlite3_column_int64(s, 0),
                          std::string(p ? p : "", sqlite3_column_bytes(s, 1)));
    }
    sqlite3_finalize(s);
    const std::string update = std::string("UPDATE ") + table + " SET " + target + "=? WHERE id=?";
    if (sqlite3_prepare_v2(db, update.c_str(), -1, &s, nullptr) != SQLITE_OK) return false;
    bool ok = true;
    for (const auto& [id, bytes] : rows) {
        const std::optional<std::string> written = value(bytes);
        if (!written) continue;
        sqlite3_bind_blob(s, 1, written->data(), static_cast<int>(written->size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, 2, id);
        ok = ok && sqlite3_step(s) == SQLITE_DONE;
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    return ok;
}

// Converts one column of the rows that where selects from the single-byte page fromCodePage to
// UTF-8 (a store that a version with a single-byte OEM code page wrote); false on a failure.
bool ConvertColumn(sqlite3* db, const char* table, const char* column, const std::string& where,
                   int fromCodePage) {
    return RewriteColumn(db, table, column, column, where,
                         [fromCodePage](const std::string& bytes) -> std::optional<std::string> {
                             std::string utf8 = CodePageToUtf8(bytes, fromCodePage);
                             if (utf8 == bytes) return std::nullopt;
                             return utf8;
                         });
}

// The names and texts of a store written in a single-byte page, converted to UTF-8 once.
bool ConvertToUtf8(sqlite3* db, int fromCodePage) {
    std::string stringKinds;
    for (int kind : kStringKinds)
        stringKinds += (stringKinds.empty() ? "" : ",") + std::to_string(kind);
    return ConvertColumn(db, "keys", "name", "1", fromCodePage) &&
           ConvertColumn(db, "vals", "name", "1", fromCodePage) &&
           ConvertColumn(db, "vals", "data", "type IN (" + stringKinds + ")", fromCodePage);
}

// Recomputes the fold column of one table; false on a failure (for instance two names that
// differ in the old code page but fold alike in the new one).
bool Refold(sqlite3* db, const char* table) {
    return RewriteColumn(
        db, table, "name", "fold", "1",
        [](const std::string& name) -> std::optional<std::string> { return FoldStoreName(name); });
}

bool RefoldIfCodePageChanged(sqlite3* db) {
    int codePage = OemCodePage();
    if (FoldCodePage(db) == codePage) return true;
    if (!Exec(db, "BEGIN IMMEDIATE")) return false;
    const int written = FoldCodePage(db);
    if (written != codePage) {
        // Names move to their new fold in one step; a clash leaves the old folding in place. A
        // store of a single-byte page opened as UTF-8 has its texts converted in the same step.
        char32_t table[256];
        const bool convert = codePage == kUtf8CodePage && CodePageTable(written, table);
        if (!Exec(db, "DROP INDEX keys_by_name; DROP INDEX vals_by_name") ||
            (convert && !ConvertToUtf8(db, written)) || !Refold(db, "keys") ||
            !Refold(db, "vals") ||
            !Exec(db,
                  "CREATE UNIQUE INDEX keys_by_name ON keys(parent, fold);"
                  "CREATE UNIQUE INDEX vals_by_name ON vals(key, fold);") ||
            !Exec(db, "INSERT OR REPLACE INTO meta VALUES('fold_codepage', " +
                          std::to_string(codePage) + ")")) {
            Exec(db, "ROLLBACK");
            return false;
        }
    }
    return Exec(db, "COMMIT");
}

}  // namespace

bool PrepareSchema(sqlite3* db, bool readOnly, std::string& problem) {
    int version = UserVersion(db);
    if (version == 0 && !readOnly) {
        // Two processes may start on a new store at once: create under the write lock.
        if (!Exec(db, "BEGIN IMMEDIATE")) {
            problem = sqlite3_errmsg(db);
            return false;
        }
        if (UserVersion(db) == 0 && !Exec(db, kCreateSchema)) {
            problem = sqlite3_errmsg(db);
            Exec(db, "ROLLBACK");
            return false;
        }
        if (!Exec(db, "COMMIT")) {
            problem = sqlite3_errmsg(db);
            return false;
        }
        version = UserVersion(db);
    }
    if (version != kSettingsSchemaVersion) {
        problem = version > kSettingsSchemaVersion
                      ? "written by a newer version (schema " + std::to_string(version) + ")"
                      : "not a settings store (schema " + std::to_string(version) + ")";
        return false;
    }
    if (!readOnly && !RefoldIfCodePageChanged(db))
        std::fprintf(stderr,
                     "kestrova: settings store: names clash in the new OEM code page; kept the old "
                     "folding\n");
    return true;
}

}  // namespace kestrova::platform
