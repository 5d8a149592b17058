#pragma once

#include "platform/RawFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

/// Deflated data that waits for the archive writer: small entries stay in memory, the rest goes
/// into one unnamed temporary file next to the archive, so memory does not grow with the archive.
class DeflateSpill final
{
public:
    /// folder: where the temporary file is made (the archive's own file system).
    explicit DeflateSpill(std::string folder);
    DeflateSpill(const DeflateSpill&) = delete;
    DeflateSpill& operator=(const DeflateSpill&) = delete;

    struct Segment
    {
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
    };

    /// Appends bytes; false (with the reason in error) when the file cannot be made or written.
    bool Append(const char* data, std::size_t length, Segment& where, std::string& error);
    /// Reads length bytes at offset; the count read, or -1.
    std::int64_t Read(std::uint64_t offset, char* buffer, std::size_t length, std::string& error) const;
    /// Takes length bytes of the memory allowance; false when it is used up.
    bool ReserveMemory(std::size_t length);

private:
    std::string m_folder;
    std::mutex m_mutex;
    std::unique_ptr<RawFile> m_file;
    std::uint64_t m_end = 0;
    std::size_t m_memoryLeft = 64u << 20;
};

/// One file made ready for the archive. Deflating happens on our own threads before libzip
/// writes (libzip deflates on one thread, and keeps data that grows when deflated); an entry
/// whose deflated form is not smaller is stored, as every Info-ZIP archive does.
struct PreparedEntry
{
    bool failed = false;
    std::string error;      // why the file could not be read
    bool stored = true;     // false: the deflated bytes below go into the archive
    std::uint64_t size = 0; // bytes read from the file
    std::uint32_t crc = 0;  // CRC-32 of those bytes
    std::int64_t mtime = 0; // seconds since 1970, as the file had it
    std::uint32_t mode = 0; // its permission bits
    std::uint64_t deflatedSize = 0;
    std::string inMemory;                       // the deflated bytes, when they are small
    bool keptOriginal = false;                  // stored, and inMemory holds the file's own bytes (small files)
    bool link = false;                          // a symbolic link: inMemory holds its target
    std::vector<DeflateSpill::Segment> spilled; // else where they are in the spill, in order
};

/// Deflates one file at level (1..9); stops early (failed) when cancelled returns true. Safe to
/// call from several threads with the same spill.
PreparedEntry DeflateFile(const std::string& path, int level, DeflateSpill& spill,
                          const std::function<bool()>& cancelled);
