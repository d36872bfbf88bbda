// The registry store outside Windows: an SQLite file holding a tree of keys
// under the five roots, each value with its type code and bytes. Names compare
// without regard to case (folded to upper case, as Windows does). Every write
// is one transaction; a busy timeout lets several processes share it.
#include "engine/text_util.h"
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/files.h"
#include "platform/registry_api.h"
#include "platform/system.h"

namespace orv::regapi {

namespace {

constexpr int64_t kErrorIo = 1016;          // ERROR_REGISTRY_IO_FAILED
constexpr int64_t kErrorKeyDeleted = 1018;  // ERROR_KEY_DELETED
constexpr int64_t kErrorNoMoreItems = 259;
constexpr int64_t kErrorBadPathname = 161;
constexpr int64_t kErrorInvalidHandle = 6;
constexpr Handle kFirstOpenHandle = 0x10000;

const char* kSchema =
    "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY,"
    " parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,"
    " name TEXT NOT NULL, fold TEXT NOT NULL, UNIQUE(parent, fold));"
    "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,"
    " name TEXT NOT NULL, fold TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(key, fold));"
    "INSERT OR IGNORE INTO keys(id, parent, name, fold) VALUES"
    " (1, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),"
    " (2, NULL, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),"
    " (3, NULL, 'HKEY_USERS', 'HKEY_USERS'),"
    " (4, NULL, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),"
    " (5, NULL, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG');";

// The name folded to upper case, for comparisons that ignore case.
std::string fold(const std::string& name) { return foldUpper(name); }

std::string storePath() {
  if (const char* env = std::getenv("ORVANTIS_REGISTRY"); env && *env) return env;
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = std::string(home) + "/.local/share";
  else
    base = "/tmp";
  return base + "/orvantis/registry.sqlite3";
}

// One prepared statement, finalized at the end of its scope.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return stmt_ != nullptr; }
  Statement& bind(int i, int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
  }
  Statement& bind(int i, const std::string& v) {
    sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& bindBlob(int i, const std::vector<uint8_t>& v) {
    sqlite3_bind_blob(stmt_, i, v.empty() ? "" : static_cast<const void*>(v.data()),
                      static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  int step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
  int64_t integer(int col) { return sqlite3_column_int64(stmt_, col); }
  std::string text(int col) {
    auto p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, col))) : std::string();
  }
  std::vector<uint8_t> blob(int col) {
    auto p = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, col));
    return p ? std::vector<uint8_t>(p, p + sqlite3_column_bytes(stmt_, col)) : std::vector<uint8_t>();
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// The process's connection to the store and its table of open keys.
struct Store {
  std::mutex mutex;
  sqlite3* db = nullptr;
  bool writable = false;  // opened read-write (the file exists with its schema)
  std::string path;
  std::map<Handle, int64_t> open;  // handle -> key id
  Handle next = kFirstOpenHandle;
};

Store& store() {
  static Store s;
  return s;
}

bool exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// What an operation needs of the store: reads never create it.
enum class Need { Read, Write };

// Opens the store file; a read-write open creates it with its schema. Rollback
// journal mode: every committed write is in the file itself, so the file alone
// holds the whole store after any run, and a read-only open creates nothing.
sqlite3* openStore(const std::string& path, Need need) {
  int flags = need == Need::Read ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  bool ok = true;
  if (need == Need::Write) {
    // A store left in WAL mode by an older run goes back to a single file when
    // no other run holds it (tried once, without waiting).
    exec(db, "PRAGMA journal_mode=DELETE;");
    sqlite3_busy_timeout(db, 30000);
    // Two first runs at once: the schema is created under the write lock, idempotently.
    ok = exec(db, "PRAGMA foreign_keys=ON;") && exec(db, "BEGIN IMMEDIATE;") && exec(db, kSchema) &&
         exec(db, "COMMIT;");
  } else {
    sqlite3_busy_timeout(db, 30000);
  }
  if (!ok) {
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

// The connection for an operation, (re)opened when the store's path changed or
// a write needs it writable; null when unusable or, for a read, absent.
sqlite3* database(Store& s, Need need = Need::Write) {
  std::string path = storePath();
  // A journal beside the store may be a killed run's: a read-only connection
  // could not roll it back, so it is opened again.
  bool readable = need == Need::Read && !fs::pathExists(path + "-journal");
  if (s.db && s.path == path && (s.writable || readable)) return s.db;
  if (s.db) sqlite3_close(s.db);
  s.db = nullptr;
  s.path = path;
  s.writable = false;
  if (need == Need::Read && !fs::fileExists(path)) return nullptr;
  std::string folder = fs::folderPart(path);
  if (need == Need::Write && !folder.empty()) fs::createDirectories(folder);
  s.db = openStore(path, need);
  if (s.db && need == Need::Read && !exec(s.db, "SELECT 1 FROM keys LIMIT 1;")) {
    // A run killed while writing left its journal, to be rolled back, or an older
    // build left the store in WAL mode: only a writable connection can read it.
    sqlite3_close(s.db);
    if (!folder.empty()) fs::createDirectories(folder);
    s.db = openStore(path, need = Need::Write);
  }
  if (s.db) sys::atProcessExit(closeStore);
  s.writable = s.db && need == Need::Write;
  return s.db;
}

// The key id a handle stands for, or 0.
int64_t keyOf(Store& s, Handle h) {
  if (h >= 1 && h <= 5) return h;
  auto it = s.open.find(h);
  return it == s.open.end() ? 0 : it->second;
}

bool keyAlive(sqlite3* db, int64_t id) {
  Statement st(db, "SELECT 1 FROM keys WHERE id = ?");
  return st.bind(1, id).step() == SQLITE_ROW;
}

// Splits a sub-key at its backslashes; false on an empty inner component.
bool splitPath(const std::string& subKey, std::vector<std::string>& parts) {
  size_t start = 0;
  while (start < subKey.size()) {
    size_t bs = subKey.find('\\', start);
    std::string part = subKey.substr(start, bs == std::string::npos ? std::string::npos : bs - start);
    if (part.empty()) return false;
    parts.push_back(part);
    if (bs == std::string::npos) break;
    start = bs + 1;
  }
  return true;
}

// The child of parent named name (any case), or 0.
int64_t child(sqlite3* db, int64_t parent, const std::string& name) {
  Statement st(db, "SELECT id FROM keys WHERE parent = ? AND fold = ?");
  return st.bind(1, parent).bind(2, fold(name)).step() == SQLITE_ROW ? st.integer(0) : 0;
}

Handle addHandle(Store& s, int64_t id) {
  Handle h = s.next++;
  s.open[h] = id;
  return h;
}

// Resolves the key for an operation: the store, the key id (alive), or an error.
// For a read of an absent store the answer is 2: the roots exist and are empty.
int64_t resolve(Store& s, Handle h, sqlite3*& db, int64_t& id, Need need = Need::Write) {
  id = keyOf(s, h);
  if (id == 0) return -kErrorInvalidHandle;
  db = database(s, need);
  if (!db && need == Need::Read && !fs::fileExists(s.path)) return id <= 5 ? 2 : -kErrorKeyDeleted;
  if (!db) return -kErrorIo;
  if (!keyAlive(db, id)) return -kErrorKeyDeleted;
  return 1;
}

// The start of a key operation: the store locked for the operation's length
// and the key resolved (status: resolve's answer).
struct KeyAccess {
  Store& s = store();
  std::lock_guard<std::mutex> lock{s.mutex};
  sqlite3* db = nullptr;
  int64_t id = 0;
  int64_t status;

  KeyAccess(Handle key, Need need) : status(resolve(s, key, db, id, need)) {}
};

// A key opened for writing and a sub-key path split into its names; status
// as KeyAccess's, or -kErrorBadPathname for a path that cannot be split.
struct SubKeyWrite : KeyAccess {
  std::vector<std::string> parts;

  SubKeyWrite(Handle key, const std::string& subKey) : KeyAccess(key, Need::Write) {
    if (status == 1 && !splitPath(subKey, parts)) status = -kErrorBadPathname;
  }
  // Runs change in one write transaction, kept when it answers true; 1, or
  // -kErrorIo when anything failed (nothing kept).
  template <class Change>
  int64_t transaction(Change change) {
    if (!exec(db, "BEGIN IMMEDIATE;")) return -kErrorIo;
    if (!change() || !exec(db, "COMMIT;")) {
      exec(db, "ROLLBACK;");
      return -kErrorIo;
    }
    return 1;
  }
};

}  // namespace

Handle rootHandle(Root root) { return static_cast<Handle>(root); }

static bool isLocalName(const std::string& machine) {
  if (machine == ".") return true;
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return false;
  return fold(machine) == fold(host);
}

int64_t connect(Root root, const std::string& machine, Handle& out) {
  out = 0;
  if (root == Root::None) return 0;
  if (!isLocalName(machine)) return -kErrorBadNetPath;  // no remote registries here
  out = rootHandle(root);
  return 1;
}

int64_t openKey(Handle key, const std::string& subKey, uint32_t, int, Handle& out) {
  out = 0;
  KeyAccess k(key, Need::Read);
  int64_t r = k.status;
  if (r != 1 && r != 2) return r;
  Store& s = k.s;
  sqlite3* db = k.db;
  int64_t id = k.id;
  std::vector<std::string> parts;
  if (!splitPath(subKey, parts)) return -kErrorBadPathname;
  if (r == 2 && !parts.empty()) return -kErrorFileNotFound;  // no store yet: only the roots
  for (const std::string& part : parts)
    if ((id = child(db, id, part)) == 0) return -kErrorFileNotFound;
  out = addHandle(s, id);
  return 1;
}

int64_t createKey(Handle key, const std::string& subKey, int, Handle& out) {
  out = 0;
  SubKeyWrite k(key, subKey);
  if (k.status != 1) return k.status;
  sqlite3* db = k.db;
  int64_t id = k.id;
  int64_t status = k.transaction([&] {
    bool ok = keyAlive(db, id);
    for (size_t i = 0; ok && i < k.parts.size(); ++i) {
      int64_t next = child(db, id, k.parts[i]);
      if (next == 0) {
        Statement ins(db, "INSERT INTO keys(parent, name, fold) VALUES (?, ?, ?)");
        ok = ins.bind(1, id).bind(2, k.parts[i]).bind(3, fold(k.parts[i])).step() == SQLITE_DONE;
        next = sqlite3_last_insert_rowid(db);
      }
      id = next;
    }
    return ok;
  });
  if (status == 1) out = addHandle(k.s, id);
  return status;
}

int64_t queryValue(Handle key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) {
  KeyAccess k(key, Need::Read);
  if (k.status != 1) return k.status == 2 ? -kErrorFileNotFound : k.status;
  sqlite3* db = k.db;
  int64_t id = k.id;
  Statement st(db, "SELECT type, data FROM vals WHERE key = ? AND fold = ?");
  int rc = st.bind(1, id).bind(2, fold(name)).step();
  if (rc == SQLITE_DONE) return -kErrorFileNotFound;
  if (rc != SQLITE_ROW) return -kErrorIo;
  type = static_cast<uint32_t>(st.integer(0));
  data = st.blob(1);
  return 1;
}

int64_t setValue(Handle key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
  KeyAccess k(key, Need::Write);
  if (k.status != 1) return k.status;
  sqlite3* db = k.db;
  int64_t id = k.id;
  Statement st(db,
               "INSERT INTO vals(key, name, fold, type, data) VALUES (?, ?, ?, ?, ?)"
               " ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data");
  st.bind(1, id).bind(2, name).bind(3, fold(name)).bind(4, static_cast<int64_t>(type)).bindBlob(5, data);
  return st.step() == SQLITE_DONE ? 1 : -kErrorIo;
}

int64_t deleteValue(Handle key, const std::string& name) {
  KeyAccess k(key, Need::Write);
  if (k.status != 1) return k.status;
  sqlite3* db = k.db;
  int64_t id = k.id;
  Statement st(db, "DELETE FROM vals WHERE key = ? AND fold = ?");
  if (st.bind(1, id).bind(2, fold(name)).step() != SQLITE_DONE) return -kErrorIo;
  return sqlite3_changes(db) > 0 ? 1 : -kErrorFileNotFound;
}

int64_t enumValueName(Handle key, uint32_t index, std::string& name) {
  name.clear();
  KeyAccess k(key, Need::Read);
  if (k.status != 1) return k.status == 2 ? -kErrorNoMoreItems : k.status;
  sqlite3* db = k.db;
  int64_t id = k.id;
  Statement st(db, "SELECT name FROM vals WHERE key = ? ORDER BY rowid LIMIT 1 OFFSET ?");
  int rc = st.bind(1, id).bind(2, static_cast<int64_t>(index)).step();
  if (rc == SQLITE_DONE) return -kErrorNoMoreItems;
  if (rc != SQLITE_ROW) return -kErrorIo;
  name = st.text(0);
  return 1;
}

int64_t deleteTree(Handle key, const std::string& subKey) {
  SubKeyWrite k(key, subKey);
  if (k.status != 1) return k.status;
  sqlite3* db = k.db;
  int64_t id = k.id;
  bool found = true;
  int64_t status = k.transaction([&] {
    for (size_t i = 0; found && i < k.parts.size(); ++i) found = (id = child(db, id, k.parts[i])) != 0;
    if (found && k.parts.empty()) {
      // The key itself stays; its values and sub-keys go.
      Statement values(db, "DELETE FROM vals WHERE key = ?");
      Statement keys(db, "DELETE FROM keys WHERE parent = ?");
      return values.bind(1, id).step() == SQLITE_DONE && keys.bind(1, id).step() == SQLITE_DONE;
    }
    if (found) {
      Statement keys(db, "DELETE FROM keys WHERE id = ?");
      return keys.bind(1, id).step() == SQLITE_DONE;
    }
    return true;
  });
  if (status != 1) return status;
  return found ? 1 : -kErrorFileNotFound;
}

void closeStore() {
  Store& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.db) sqlite3_close(s.db);
  s.db = nullptr;
  s.writable = false;
  s.path.clear();
}

void closeKey(Handle key) {
  Store& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.open.erase(key);
}

}  // namespace orv::regapi
