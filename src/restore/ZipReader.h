#pragma once

#include "base/Status.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

typedef struct zip zip_t;

/// Reads a ZIP archive as the backup wrote it (libzip): its entries with their times, modes and
/// links, and each entry's bytes, checked against the CRC the archive stores.
class ZipReader final
{
public:
    struct Entry
    {
        std::uint64_t index = 0;
        std::string name; // as stored, bytes as they are (a folder's ends with "/")
        EntryKind kind = EntryKind::File;
        std::int64_t size = 0;
        std::int64_t mtimeNs = 0;
        bool modeKnown = false; // the archive was made on Unix and says the permission bits
        std::uint32_t mode = 0;
        bool encrypted = false;
    };

    /// Opens the archive at path; nothing (and the reason) when it is no readable archive.
    static std::unique_ptr<ZipReader> Open(const std::string& path, const std::string& password, std::string& error);
    /// Opens a backup's archive: a split one (volumes name.z01, name.z02 … beside path) joined
    /// into one file in scratchFolder, which goes when the reader does.
    static std::unique_ptr<ZipReader> OpenBackup(const std::string& path, const std::string& password,
                                                 const std::string& scratchFolder, std::string& error);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    const std::vector<Entry>& entries() const { return m_entries; }
    /// The entry of that name, or nullptr.
    const Entry* Find(const std::string& name) const;

    /// Hands the entry's bytes to sink piece by piece; fails when the password is wrong, the
    /// data is damaged, its CRC does not match, sink refuses or cancelled says so.
    Status Read(const Entry& entry, const std::function<bool(const char* data, std::size_t length)>& sink,
                const std::function<bool()>& cancelled = {});
    /// The whole bytes of a small entry (a link's target).
    Status ReadAll(const Entry& entry, std::string& bytes);

private:
    explicit ZipReader(zip_t* zip, std::string password) : m_zip(zip), m_password(std::move(password)) {}
    void readEntries();

    zip_t* m_zip;
    std::string m_joined; // the joined file of a split archive, removed at the end
    std::string m_password;
    std::vector<Entry> m_entries;
    mutable std::map<std::string, std::size_t> m_byName; // the index of each name, once asked for
};
