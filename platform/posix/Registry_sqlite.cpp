// The current user's registry, kept in one SQLite database.
//
// Location: $QUENLO_REGISTRY when set, otherwise
// $XDG_CONFIG_HOME/quenlo/registry.sqlite3 (~/.config when XDG_CONFIG_HOME
// is not set); the folder is made 0700 and the file 0600. The database is
// opened on first use only.
//
// Several processes use the store at once (the program and the file-manager
// helper): the database runs in WAL mode with a busy timeout, and every
// operation is one transaction, so concurrent writers wait for each other
// instead of losing values.
//
// A store that cannot be opened or written never stops the program: reads
// give nothing, writes return false.

#include "platform/Registry.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

namespace quenlo::platform {
namespace {

constexpr int kBusyTimeoutMs = 30000;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    "  id INTEGER PRIMARY KEY,"
    "  path TEXT NOT NULL UNIQUE COLLATE NOCASE);"
    "CREATE TABLE IF NOT EXISTS registry_values("
    "  seq INTEGER PRIMARY KEY,"
    "  key_id INTEGER NOT NULL REFERENCES keys(id),"
    "  name BLOB NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  UNIQUE(key_id, name));";

std::filesystem::path defaultStorePath() {
    if (const char* override = std::getenv("QUENLO_REGISTRY"); override && *override) {
        return override;
    }
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        config = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        config = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return config / "quenlo" / "registry.sqlite3";
}

// Makes the folder (0700 for the one that is created last) and the file
// (0600) before SQLite opens it, so the store is never readable by others.
bool prepareStoreFile(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(folder.parent_path(), ignored);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        // Perhaps read-only: SQLite may still open it for reading.
        return ::access(file.c_str(), R_OK) == 0;
    }
    ::close(fd);
    return true;
}

class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) {
            statement_ = nullptr;
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(statement_); }

    bool ok() const { return statement_ != nullptr; }
    sqlite3_stmt* get() const { return statement_; }

    void bindText(int index, std::string_view text) {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    void bindBlob(int index, std::string_view bytes) {
        // A zero-length blob must still be a blob, not NULL.
        sqlite3_bind_blob(statement_, index, bytes.empty() ? "" : bytes.data(),
                          static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    void bindInt(int index, std::int64_t value) { sqlite3_bind_int64(statement_, index, value); }

    int step() { return sqlite3_step(statement_); }

    std::string columnBlob(int column) const {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        const int size = sqlite3_column_bytes(statement_, column);
        return data ? std::string(data, static_cast<std::size_t>(size)) : std::string();
    }
    std::int64_t columnInt(int column) const { return sqlite3_column_int64(statement_, column); }

private:
    sqlite3_stmt* statement_ = nullptr;
};

class SqliteStore {
public:
    explicit SqliteStore(std::filesystem::path file) : file_(std::move(file)), owner_(::getpid()) {}
    ~SqliteStore() { sqlite3_close_v2(db_); }

    // The open database, or null when the store is unusable. Opened once.
    sqlite3* db() {
        if (!opened_) {
            opened_ = true;
            open();
        }
        return db_;
    }

    std::mutex& mutex() { return mutex_; }
    // The process that opened it: a forked child opens the file anew.
    pid_t owner() const { return owner_; }

private:
    void open() {
        if (file_.empty() || !prepareStoreFile(file_)) {
            return;
        }
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX,
                            nullptr) != SQLITE_OK) {
            if (db != nullptr) {
                sqlite3_close_v2(db);
                db = nullptr;
            }
            if (sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX,
                                nullptr) != SQLITE_OK) {
                sqlite3_close_v2(db);
                return;
            }
        }
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                     nullptr);
        if (sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK &&
            sqlite3_exec(db, "SELECT 1 FROM keys, registry_values LIMIT 1", nullptr, nullptr,
                         nullptr) != SQLITE_OK) {
            sqlite3_close_v2(db);  // not a store of ours, or unreadable
            return;
        }
        db_ = db;
    }

    std::filesystem::path file_;
    pid_t owner_;
    sqlite3* db_ = nullptr;
    bool opened_ = false;
    std::mutex mutex_;
};

// The one open store of a file in this process. Every registry and key of
// the file shares it: a second connection to the same file in one process
// would, on closing, take the write-ahead log's end-of-use check for its
// own and leave the other connection reading an outdated snapshot of what
// other processes wrote since.
std::shared_ptr<SqliteStore> SharedStore(const std::filesystem::path& file) {
    static std::mutex mutex;
    static std::map<std::filesystem::path, std::weak_ptr<SqliteStore>> stores;
    std::error_code ignored;
    const std::filesystem::path key =
        file.empty() ? file : std::filesystem::absolute(file, ignored).lexically_normal();
    std::lock_guard lock(mutex);
    if (auto open = stores[key].lock(); open && open->owner() == ::getpid()) {
        return open;
    }
    std::erase_if(stores, [](const auto& entry) { return entry.second.expired(); });
    auto store = std::make_shared<SqliteStore>(file);
    stores[key] = store;
    return store;
}

// One transaction; rolled back unless committed.
class Transaction {
public:
    Transaction(sqlite3* db, bool write) : db_(db) {
        active_ = sqlite3_exec(db, write ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr,
                               nullptr) == SQLITE_OK;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction() {
        if (active_) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    bool active() const { return active_; }
    bool commit() {
        if (!active_) {
            return false;
        }
        active_ = false;
        if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
            return true;
        }
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }

private:
    sqlite3* db_;
    bool active_ = false;
};

struct StoredValue {
    RegistryValueType type;
    std::string data;
};

class SqliteKey final : public RegistryKey {
public:
    SqliteKey(std::shared_ptr<SqliteStore> store, std::int64_t id)
        : store_(std::move(store)), id_(id) {}

    std::optional<std::string> readString(std::string_view name) override {
        auto value = read(name);
        if (!value || value->type != RegistryValueType::String) {
            return std::nullopt;
        }
        return std::move(value->data);
    }

    std::optional<std::uint32_t> readDword(std::string_view name) override {
        auto value = read(name);
        if (!value || value->type != RegistryValueType::Dword || value->data.size() != 4) {
            return std::nullopt;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(value->data.data());
        return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
               static_cast<std::uint32_t>(bytes[2]) << 16 |
               static_cast<std::uint32_t>(bytes[3]) << 24;
    }

    std::optional<RegistryValueType> valueType(std::string_view name) override {
        auto value = read(name);
        return value ? std::optional(value->type) : std::nullopt;
    }

    bool writeString(std::string_view name, std::string_view data) override {
        return write(name, RegistryValueType::String, data);
    }

    bool writeDword(std::string_view name, std::uint32_t data) override {
        // Stored little-endian, as the registry keeps REG_DWORD.
        const char bytes[4] = {static_cast<char>(data & 0xFF), static_cast<char>(data >> 8 & 0xFF),
                               static_cast<char>(data >> 16 & 0xFF),
                               static_cast<char>(data >> 24 & 0xFF)};
        return write(name, RegistryValueType::Dword, std::string_view(bytes, 4));
    }

    std::vector<std::string> valueNames() override {
        return names("SELECT name FROM registry_values WHERE key_id = ? ORDER BY seq");
    }

    bool deleteValue(std::string_view name) override {
        std::lock_guard lock(store_->mutex());
        sqlite3* db = store_->db();
        if (db == nullptr) {
            return false;
        }
        Transaction transaction(db, true);
        Statement remove(db, "DELETE FROM registry_values WHERE key_id = ? AND name = ?");
        if (!transaction.active() || !remove.ok()) {
            return false;
        }
        remove.bindInt(1, id_);
        remove.bindBlob(2, name);
        if (remove.step() != SQLITE_DONE || sqlite3_changes(db) == 0) {
            return false;
        }
        return transaction.commit();
    }

    std::vector<std::string> subkeyNames() override {
        // The keys whose path is this key's path, a separator and one more
        // name: compared by prefix, never with LIKE, whose wildcards may
        // stand in key names.
        return names(
            "SELECT substr(child.path, length(parent.path) + 2) AS name"
            " FROM keys AS parent, keys AS child WHERE parent.id = ?"
            " AND length(child.path) > length(parent.path) + 1"
            " AND substr(child.path, 1, length(parent.path) + 1) ="
            "     (parent.path || '\\') COLLATE NOCASE"
            " AND instr(substr(child.path, length(parent.path) + 2), '\\') = 0"
            " ORDER BY name COLLATE NOCASE");
    }

private:
    // The first column of every row `sql` selects for this key (its one
    // parameter); empty when the store cannot be read.
    std::vector<std::string> names(const char* sql) {
        std::vector<std::string> found;
        std::lock_guard lock(store_->mutex());
        sqlite3* db = store_->db();
        if (db == nullptr) {
            return found;
        }
        Transaction transaction(db, false);
        Statement select(db, sql);
        if (!transaction.active() || !select.ok()) {
            return found;
        }
        select.bindInt(1, id_);
        while (select.step() == SQLITE_ROW) {
            found.push_back(select.columnBlob(0));
        }
        return found;
    }

    std::optional<StoredValue> read(std::string_view name) {
        std::lock_guard lock(store_->mutex());
        sqlite3* db = store_->db();
        if (db == nullptr) {
            return std::nullopt;
        }
        Transaction transaction(db, false);
        Statement select(db,
                         "SELECT type, data FROM registry_values WHERE key_id = ? AND name = ?");
        if (!transaction.active() || !select.ok()) {
            return std::nullopt;
        }
        select.bindInt(1, id_);
        select.bindBlob(2, name);
        if (select.step() != SQLITE_ROW) {
            return std::nullopt;
        }
        return StoredValue{static_cast<RegistryValueType>(select.columnInt(0)),
                           select.columnBlob(1)};
    }

    bool write(std::string_view name, RegistryValueType type, std::string_view data) {
        std::lock_guard lock(store_->mutex());
        sqlite3* db = store_->db();
        if (db == nullptr) {
            return false;
        }
        Transaction transaction(db, true);
        Statement upsert(db,
                         "INSERT INTO registry_values(key_id, name, type, data) VALUES(?, ?, ?, ?)"
                         " ON CONFLICT(key_id, name) DO UPDATE SET type = excluded.type,"
                         " data = excluded.data");
        if (!transaction.active() || !upsert.ok()) {
            return false;
        }
        upsert.bindInt(1, id_);
        upsert.bindBlob(2, name);
        upsert.bindInt(3, static_cast<std::int64_t>(type));
        upsert.bindBlob(4, data);
        return upsert.step() == SQLITE_DONE && transaction.commit();
    }

    // Shared: a key stays usable however long it outlives its registry.
    std::shared_ptr<SqliteStore> store_;
    std::int64_t id_;
};

class SqliteRegistry final : public Registry {
public:
    // An empty path stands for the user's store, found on first use.
    explicit SqliteRegistry(std::filesystem::path storeFile = {})
        : storeFile_(std::move(storeFile)) {}

    std::unique_ptr<RegistryKey> openKey(std::string_view keyPath) override {
        std::lock_guard lock(store().mutex());
        sqlite3* db = store().db();
        if (db == nullptr) {
            return nullptr;
        }
        // Find the key; create it and every key above it when missing.
        Transaction transaction(db, true);
        const bool writable = transaction.active();
        if (!writable) {
            return existingKey(db, keyPath);  // a read-only store: open what is there
        }
        if (auto id = findKey(db, keyPath)) {
            return std::make_unique<SqliteKey>(storeShared(), *id);
        }
        std::optional<std::int64_t> id;
        for (std::size_t end = keyPath.find('\\');; end = keyPath.find('\\', end + 1)) {
            id = createKey(db, keyPath.substr(0, end));
            if (!id || end == std::string_view::npos) {
                break;
            }
        }
        if (!id || !transaction.commit()) {
            return nullptr;
        }
        return std::make_unique<SqliteKey>(storeShared(), *id);
    }

    std::unique_ptr<RegistryKey> openExistingKey(std::string_view keyPath) override {
        std::lock_guard lock(store().mutex());
        sqlite3* db = store().db();
        if (db == nullptr) {
            return nullptr;
        }
        return existingKey(db, keyPath);
    }

    bool deleteKeyTree(std::string_view keyPath) override {
        std::lock_guard lock(store().mutex());
        sqlite3* db = store().db();
        if (db == nullptr) {
            return false;
        }
        Transaction transaction(db, true);
        if (!transaction.active() || !findKey(db, keyPath)) {
            return false;
        }
        // The key itself and every key whose path begins with its path and
        // a separator, with all their values.
        const char* const kTree =
            "SELECT id FROM keys WHERE path = ?1 OR (length(path) > length(?1) + 1"
            " AND substr(path, 1, length(?1) + 1) = (?1 || '\\') COLLATE NOCASE)";
        Statement values(db, (std::string("DELETE FROM registry_values WHERE key_id IN (") +
                              kTree + ")").c_str());
        Statement keys(db, (std::string("DELETE FROM keys WHERE id IN (") + kTree + ")").c_str());
        if (!values.ok() || !keys.ok()) {
            return false;
        }
        values.bindText(1, keyPath);
        keys.bindText(1, keyPath);
        return values.step() == SQLITE_DONE && keys.step() == SQLITE_DONE && transaction.commit();
    }

private:
    // The key if it exists, looked up in a read transaction of its own; the
    // store's lock must be held.
    std::unique_ptr<RegistryKey> existingKey(sqlite3* db, std::string_view keyPath) {
        Transaction reading(db, false);
        auto id = findKey(db, keyPath);
        return id ? std::make_unique<SqliteKey>(storeShared(), *id) : nullptr;
    }

    SqliteStore& store() { return *storeShared(); }

    std::shared_ptr<SqliteStore> storeShared() {
        std::call_once(once_, [this] {
            store_ = SharedStore(storeFile_.empty() ? defaultStorePath() : storeFile_);
        });
        return store_;
    }

    static std::optional<std::int64_t> findKey(sqlite3* db, std::string_view keyPath) {
        Statement select(db, "SELECT id FROM keys WHERE path = ?");
        if (!select.ok()) {
            return std::nullopt;
        }
        select.bindText(1, keyPath);
        if (select.step() != SQLITE_ROW) {
            return std::nullopt;
        }
        return select.columnInt(0);
    }

    static std::optional<std::int64_t> createKey(sqlite3* db, std::string_view keyPath) {
        Statement insert(db, "INSERT INTO keys(path) VALUES(?) ON CONFLICT(path) DO NOTHING");
        if (!insert.ok()) {
            return std::nullopt;
        }
        insert.bindText(1, keyPath);
        if (insert.step() != SQLITE_DONE) {
            return std::nullopt;
        }
        return findKey(db, keyPath);
    }

    std::filesystem::path storeFile_;
    std::once_flag once_;
    std::shared_ptr<SqliteStore> store_;
};

}  // namespace

Registry& currentUserRegistry() {
    static SqliteRegistry registry;
    return registry;
}

std::unique_ptr<Registry> openRegistryStore(const std::filesystem::path& storeFile) {
    return std::make_unique<SqliteRegistry>(storeFile);
}

}  // namespace quenlo::platform
