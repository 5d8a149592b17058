#pragma once

#include <cstdint>
#include <memory>
#include <string>

/// A file opened for plain reading or writing, closed when it goes: what the archive writer
/// reads the files from, keeps its deflated data in and writes the volumes of a split archive
/// to. Errors come back as the system's text.
class RawFile final
{
public:
    enum class Mode
    {
        Read,    // an existing file, from its start
        Create,  // a new or emptied file for writing, readable by its owner alone
        Scratch, // an unnamed file for reading and writing in the folder given as path; it is
                 // gone when closed
        Append,  // an existing file, or a new one readable by its owner alone, written at its end
    };

    static std::unique_ptr<RawFile> Open(const std::string& path, Mode mode, std::string& error);
    ~RawFile();
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    /// Reads on from where the last read ended: the bytes read, 0 at the end, -1 on failure.
    std::int64_t Read(char* buffer, std::size_t length, std::string& error);
    /// Reads length bytes at offset, fewer only at the end; -1 on failure.
    std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t length, std::string& error) const;
    /// Writes all of data after what was written so far.
    bool Write(const char* data, std::size_t length, std::string& error);
    /// Writes all of data at offset.
    bool WriteAt(std::uint64_t offset, const char* data, std::size_t length, std::string& error);
    /// Makes what was written durable on the medium and closes the file.
    bool SyncAndClose(std::string& error);
    /// Makes the file length bytes long (cuts off what lies beyond).
    bool Truncate(std::uint64_t length, std::string& error);
    /// The file's size, modification time (seconds since 1970) and permission bits as they
    /// were when it was opened.
    std::uint64_t Size() const { return m_size; }
    std::int64_t ModifiedSeconds() const { return m_modified; }
    std::uint32_t Permissions() const { return m_permissions; }

private:
    explicit RawFile(std::intptr_t handle) : m_handle(handle) {}

    std::intptr_t m_handle;
    std::uint64_t m_size = 0;
    std::int64_t m_modified = 0;
    std::uint32_t m_permissions = 0;
};
