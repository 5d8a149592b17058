#include "platform/posix/ArchiveStateCatalogue.h"

#include <algorithm>
#include <sqlite3.h>

namespace {

// A statement that is finalised however the function leaves.
class Statement
{
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_statement; }

private:
    sqlite3_stmt* m_statement = nullptr;
};

// The first text that no path below folder reaches: folder with its last byte raised by one.
std::string upperBoundOf(std::string folder)
{
    while (!folder.empty() && static_cast<unsigned char>(folder.back()) == 0xFF)
        folder.pop_back();
    if (!folder.empty())
        folder.back() = static_cast<char>(folder.back() + 1);
    return folder;
}

} // namespace

ArchiveStateCatalogue::ArchiveStateCatalogue(const std::filesystem::path& file)
{
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        m_error = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        return;
    }
    sqlite3_busy_timeout(m_db, 5000);
    execute("PRAGMA journal_mode=WAL");
    execute("CREATE TABLE IF NOT EXISTS files (path TEXT PRIMARY KEY, device INTEGER, inode INTEGER, "
            "size INTEGER, mtime INTEGER, ctime INTEGER) WITHOUT ROWID");
}

ArchiveStateCatalogue::~ArchiveStateCatalogue()
{
    sqlite3_close(m_db);
}

bool ArchiveStateCatalogue::execute(const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    m_error = message ? message : "SQLite";
    sqlite3_free(message);
    return false;
}

ArchiveStateCatalogue::Record ArchiveStateCatalogue::recordOf(const FileEntry& e)
{
    return {e.device, e.inode, e.size, e.mtimeNs, e.ctimeNs};
}

void ArchiveStateCatalogue::Prefetch(const std::string& folder)
{
    if (!m_error.empty())
        return;
    for (const std::string& done : m_prefetched)
        if (folder.compare(0, done.size(), done) == 0)
            return;
    m_prefetched.push_back(folder);
    // One range query per source instead of one look-up per file.
    Statement select(m_db, "SELECT path, device, inode, size, mtime, ctime FROM files WHERE path >= ?1 AND path < ?2");
    const std::string upper = upperBoundOf(folder);
    sqlite3_bind_text(select.get(), 1, folder.data(), static_cast<int>(folder.size()), SQLITE_STATIC);
    sqlite3_bind_text(select.get(), 2, upper.data(), static_cast<int>(upper.size()), SQLITE_STATIC);
    while (sqlite3_step(select.get()) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 0));
        const int length = sqlite3_column_bytes(select.get(), 0);
        m_known[std::string(text, static_cast<std::size_t>(length))] = {
            static_cast<std::uint64_t>(sqlite3_column_int64(select.get(), 1)),
            static_cast<std::uint64_t>(sqlite3_column_int64(select.get(), 2)), sqlite3_column_int64(select.get(), 3),
            sqlite3_column_int64(select.get(), 4), sqlite3_column_int64(select.get(), 5)};
    }
}

bool ArchiveStateCatalogue::IsSet(const std::string& path, const FileEntry& entry)
{
    const auto it = m_known.find(path);
    return it == m_known.end() || !(it->second == recordOf(entry));
}

void ArchiveStateCatalogue::Clear(const std::string& path, const FileEntry& entry)
{
    m_known[path] = recordOf(entry);
    m_cleared.emplace_back(path, recordOf(entry));
}

bool ArchiveStateCatalogue::Commit()
{
    if (!m_error.empty())
        return false;
    if (m_cleared.empty())
        return true;
    // Sorted inserts keep the B-tree writes local.
    std::sort(m_cleared.begin(), m_cleared.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (!execute("BEGIN IMMEDIATE"))
        return false;
    {
        Statement insert(m_db, "INSERT OR REPLACE INTO files VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
        for (const auto& [path, r] : m_cleared) {
            sqlite3_bind_text(insert.get(), 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
            sqlite3_bind_int64(insert.get(), 2, static_cast<sqlite3_int64>(r.device));
            sqlite3_bind_int64(insert.get(), 3, static_cast<sqlite3_int64>(r.inode));
            sqlite3_bind_int64(insert.get(), 4, r.size);
            sqlite3_bind_int64(insert.get(), 5, r.mtimeNs);
            sqlite3_bind_int64(insert.get(), 6, r.ctimeNs);
            if (sqlite3_step(insert.get()) != SQLITE_DONE) {
                m_error = sqlite3_errmsg(m_db);
                execute("ROLLBACK");
                return false;
            }
            sqlite3_reset(insert.get());
        }
    }
    if (!execute("COMMIT"))
        return false;
    m_cleared.clear();
    return true;
}
