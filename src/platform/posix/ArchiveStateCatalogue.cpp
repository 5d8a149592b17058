#include "platform/posix/ArchiveStateCatalogue.h"

#include <algorithm>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

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

ArchiveStateCatalogue::ArchiveStateCatalogue(const std::filesystem::path& file) : m_file(file)
{
    if (!open() && damaged()) {
        setAside();
        open();
    }
    if (!m_error.empty())
        m_problems.push_back("Archivstatus " + m_file.string() + " ist nicht benutzbar: " + m_error);
}

ArchiveStateCatalogue::~ArchiveStateCatalogue()
{
    sqlite3_close_v2(m_db); // waits for a statement still open to be finalised
}

bool ArchiveStateCatalogue::open()
{
    m_error.clear();
    m_lastCode = SQLITE_OK;
    // The catalogue names every file that was backed up: it is its owner's alone, and SQLite
    // gives its journal files the mode of the database.
    const int fd = ::open(m_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    if (sqlite3_open_v2(m_file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        m_error = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        m_lastCode = m_db ? sqlite3_errcode(m_db) : SQLITE_NOMEM;
        return false;
    }
    sqlite3_busy_timeout(m_db, 5000);
    // Reading through a mapping spares a system call per page when a source is read ahead.
    return execute("PRAGMA journal_mode=WAL") && execute("PRAGMA mmap_size=268435456") &&
           execute("CREATE TABLE IF NOT EXISTS files (folder TEXT, name TEXT, device INTEGER, inode INTEGER, "
                   "size INTEGER, mtime INTEGER, ctime INTEGER, PRIMARY KEY (folder, name)) WITHOUT ROWID");
}

bool ArchiveStateCatalogue::damaged() const
{
    const int code = m_lastCode & 0xff;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

void ArchiveStateCatalogue::setAside()
{
    // A damaged catalogue is kept for a look, and a new one starts empty: every file then
    // counts as changed, so the next run takes everything again, which is safe.
    const std::string reason = m_error;
    sqlite3_close_v2(m_db); // waits for a statement still open to be finalised
    m_db = nullptr;
    const std::filesystem::path broken = m_file.string() + ".broken";
    std::error_code ignored;
    std::filesystem::rename(m_file, broken, ignored);
    std::filesystem::rename(m_file.string() + "-wal", broken.string() + "-wal", ignored);
    std::filesystem::remove(m_file.string() + "-shm", ignored);
    m_problems.push_back("Archivstatus " + m_file.string() + " ist beschädigt (" + reason + "): beiseitegelegt als " +
                         broken.string() + " und neu angelegt");
    // The folder keys stay: the bits this run cleared point at them until they are committed.
    for (auto& known : m_known)
        known.second.clear();
    m_prefetched.clear();
    m_lastRecords = nullptr;
}

std::vector<std::string> ArchiveStateCatalogue::TakeProblems()
{
    std::vector<std::string> problems;
    problems.swap(m_problems);
    return problems;
}

bool ArchiveStateCatalogue::execute(const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    m_error = message ? message : "SQLite";
    m_lastCode = sqlite3_errcode(m_db);
    sqlite3_free(message);
    return false;
}

ArchiveStateCatalogue::Record ArchiveStateCatalogue::recordOf(const FileEntry& e)
{
    return {e.device, e.inode, e.size, e.mtimeNs, e.ctimeNs};
}

namespace {

// Folder (with its "/") and name of a path, without copying either.
std::pair<std::string_view, std::string_view> splitPath(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string_view::npos)
        return {std::string_view(), path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string columnText(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

} // namespace

void ArchiveStateCatalogue::Prefetch(const std::string& folder)
{
    if (!m_error.empty())
        return;
    for (const std::string& done : m_prefetched)
        if (folder.compare(0, done.size(), done) == 0)
            return;
    m_prefetched.push_back(folder);
    // One range query per source instead of one look-up per file; the rows come sorted by
    // folder and name.
    Statement select(m_db, "SELECT folder, name, device, inode, size, mtime, ctime FROM files "
                           "WHERE folder >= ?1 AND folder < ?2 ORDER BY folder, name");
    const std::string upper = upperBoundOf(folder);
    sqlite3_bind_text(select.get(), 1, folder.data(), static_cast<int>(folder.size()), SQLITE_STATIC);
    sqlite3_bind_text(select.get(), 2, upper.data(), static_cast<int>(upper.size()), SQLITE_STATIC);
    std::string current;
    FolderRecords* records = nullptr;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 0));
        const std::string_view rowFolder(text, static_cast<std::size_t>(sqlite3_column_bytes(select.get(), 0)));
        if (records == nullptr || rowFolder != current) {
            current = rowFolder;
            records = &m_known[current];
        }
        records->push_back(
            {columnText(select.get(), 1),
             {static_cast<std::uint64_t>(sqlite3_column_int64(select.get(), 2)),
              static_cast<std::uint64_t>(sqlite3_column_int64(select.get(), 3)), sqlite3_column_int64(select.get(), 4),
              sqlite3_column_int64(select.get(), 5), sqlite3_column_int64(select.get(), 6)}});
    }
    m_lastRecords = nullptr;
    if (step != SQLITE_DONE) {
        m_error = sqlite3_errmsg(m_db);
        m_lastCode = step;
        if (damaged())
            recover();
    }
}

void ArchiveStateCatalogue::recover()
{
    // What was read so far may be wrong: forget it, so that every file counts as changed.
    setAside();
    if (!open())
        m_problems.push_back("Archivstatus " + m_file.string() + " ist nicht benutzbar: " + m_error);
}

ArchiveStateCatalogue::FolderRecords* ArchiveStateCatalogue::recordsOf(std::string_view folder)
{
    if (m_lastRecords == nullptr || folder != m_lastFolder) {
        m_lastFolder = folder;
        const auto it = m_known.find(m_lastFolder);
        m_lastRecords = it == m_known.end() ? nullptr : &it->second;
    }
    return m_lastRecords;
}

bool ArchiveStateCatalogue::IsSet(const std::string& path, const FileEntry& entry)
{
    const auto [folder, name] = splitPath(path);
    const FolderRecords* records = recordsOf(folder);
    if (records == nullptr)
        return true;
    const auto it = std::lower_bound(records->begin(), records->end(), name,
                                     [](const NamedRecord& r, std::string_view n) { return r.name < n; });
    return it == records->end() || it->name != name || !(it->record == recordOf(entry));
}

void ArchiveStateCatalogue::Clear(const std::string& path, const FileEntry& entry)
{
    const auto [folderView, nameView] = splitPath(path);
    std::string name(nameView);
    const auto [known, inserted] = m_known.try_emplace(std::string(folderView));
    FolderRecords& records = known->second;
    m_lastRecords = nullptr;
    const auto it = std::lower_bound(records.begin(), records.end(), name,
                                     [](const NamedRecord& r, const std::string& n) { return r.name < n; });
    if (it != records.end() && it->name == name)
        it->record = recordOf(entry);
    else
        records.insert(it, {name, recordOf(entry)});
    m_cleared.push_back({&known->first, std::move(name), recordOf(entry)});
}

bool ArchiveStateCatalogue::Commit()
{
    if (!m_error.empty())
        return false;
    if (m_cleared.empty())
        return true;
    // Sorted inserts keep the B-tree writes local.
    std::sort(m_cleared.begin(), m_cleared.end(), [](const Cleared& a, const Cleared& b) {
        return *a.folder != *b.folder ? *a.folder < *b.folder : a.name < b.name;
    });
    if (!insertCleared()) {
        // A catalogue found damaged only now is set aside, and this run's records go into
        // the new one.
        if (!damaged())
            return false;
        recover();
        if (!m_error.empty() || !insertCleared())
            return false;
    }
    m_cleared.clear();
    return true;
}

bool ArchiveStateCatalogue::insertCleared()
{
    if (!execute("BEGIN IMMEDIATE"))
        return false;
    {
        Statement insert(m_db, "INSERT OR REPLACE INTO files VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        for (const Cleared& c : m_cleared) {
            sqlite3_bind_text(insert.get(), 1, c.folder->data(), static_cast<int>(c.folder->size()), SQLITE_STATIC);
            sqlite3_bind_text(insert.get(), 2, c.name.data(), static_cast<int>(c.name.size()), SQLITE_STATIC);
            sqlite3_bind_int64(insert.get(), 3, static_cast<sqlite3_int64>(c.record.device));
            sqlite3_bind_int64(insert.get(), 4, static_cast<sqlite3_int64>(c.record.inode));
            sqlite3_bind_int64(insert.get(), 5, c.record.size);
            sqlite3_bind_int64(insert.get(), 6, c.record.mtimeNs);
            sqlite3_bind_int64(insert.get(), 7, c.record.ctimeNs);
            if (sqlite3_step(insert.get()) != SQLITE_DONE) {
                m_error = sqlite3_errmsg(m_db);
                const int code = sqlite3_errcode(m_db);
                sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
                m_lastCode = code;
                return false;
            }
            sqlite3_reset(insert.get());
        }
    }
    return execute("COMMIT");
}
