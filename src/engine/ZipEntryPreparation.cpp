#include "engine/ZipEntryPreparation.h"

#include "base/ResultCodes.h"

#include <zlib.h>

namespace {

constexpr std::size_t ChunkSize = 1u << 20;
// Deflated entries up to this size stay in memory while the allowance lasts.
constexpr std::size_t SmallEntry = 256u << 10;

/// A raw deflate stream (the ZIP entry carries no zlib header), kept per thread and reset for
/// each file: setting one up costs more than deflating a small file.
class Deflater final
{
public:
    Deflater() = default;
    ~Deflater()
    {
        if (m_level >= 0)
            deflateEnd(&m_stream);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    bool start(int level)
    {
        if (m_level == level)
            return deflateReset(&m_stream) == Z_OK;
        if (m_level >= 0)
            deflateEnd(&m_stream);
        m_stream = z_stream{};
        m_level = deflateInit2(&m_stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK ? level : -1;
        return m_level >= 0;
    }

    /// Deflates input (finishing the stream when last) and appends the output to out.
    void feed(const char* input, std::size_t length, bool last, std::string& out)
    {
        char buffer[64 * 1024];
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input));
        m_stream.avail_in = static_cast<uInt>(length);
        do {
            m_stream.next_out = reinterpret_cast<Bytef*>(buffer);
            m_stream.avail_out = sizeof buffer;
            deflate(&m_stream, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer, sizeof buffer - m_stream.avail_out);
        } while (m_stream.avail_out == 0);
    }

private:
    z_stream m_stream{};
    int m_level = -1;
};

/// What a deflating thread keeps from one file to the next.
struct DeflaterThread
{
    Deflater deflater;
    std::string input = std::string(ChunkSize, '\0');
};

} // namespace

DeflateSpill::DeflateSpill(std::string folder) : m_folder(std::move(folder))
{
}

bool DeflateSpill::Append(const char* data, std::size_t length, Segment& where, std::string& error)
{
    std::uint64_t offset = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_file && !(m_file = RawFile::Open(m_folder, RawFile::Mode::Scratch, error)))
            return false;
        offset = m_end;
        m_end += length;
    }
    // Each thread writes its own reserved range: no lock needed while writing.
    if (!m_file->WriteAt(offset, data, length, error))
        return false;
    where = {offset, length};
    return true;
}

std::int64_t DeflateSpill::Read(std::uint64_t offset, char* buffer, std::size_t length, std::string& error) const
{
    return m_file->ReadAt(offset, buffer, length, error);
}

bool DeflateSpill::ReserveMemory(std::size_t length)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (length > m_memoryLeft)
        return false;
    m_memoryLeft -= length;
    return true;
}

PreparedEntry DeflateFile(const std::string& path, int level, DeflateSpill& spill,
                          const std::function<bool()>& cancelled)
{
    PreparedEntry entry;
    auto fail = [&entry](std::string why) {
        entry.failed = true;
        entry.error = std::move(why);
        return std::move(entry);
    };
    std::string error;
    const std::unique_ptr<RawFile> file = RawFile::Open(path, RawFile::Mode::Read, error);
    if (!file)
        return fail(error);
    entry.mtime = file->ModifiedSeconds();
    entry.mode = file->Permissions();

    thread_local DeflaterThread thread;
    Deflater& deflater = thread.deflater;
    std::string& input = thread.input;
    if (!deflater.start(level))
        return fail("zlib");
    std::string pending;
    uLong crc = crc32(0, nullptr, 0);
    int reads = 0;
    // A file that keeps growing (a log, a download) is read up to the size it had when its
    // entry began, never for ever; the check after the archive is written reports the change.
    const std::uint64_t sizeAtStart = file->Size();
    for (;;) {
        const std::uint64_t left = sizeAtStart - static_cast<std::uint64_t>(entry.size);
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(input.size(), left));
        const std::int64_t n = wanted == 0 ? 0 : file->Read(input.data(), wanted, error);
        if (n < 0)
            return fail(error);
        const auto length = static_cast<std::size_t>(n);
        reads += length > 0 ? 1 : 0;
        crc = crc32_z(crc, reinterpret_cast<const Bytef*>(input.data()), length);
        entry.size += length;
        deflater.feed(input.data(), length, length == 0, pending);
        if (pending.size() >= ChunkSize) {
            DeflateSpill::Segment segment;
            if (!spill.Append(pending.data(), pending.size(), segment, error))
                return fail(error);
            entry.spilled.push_back(segment);
            entry.deflatedSize += pending.size();
            pending.clear();
        }
        if (length == 0)
            break;
        if (cancelled && cancelled())
            return fail(CancelledText);
    }
    entry.deflatedSize += pending.size();
    entry.crc = static_cast<std::uint32_t>(crc);
    entry.stored = entry.deflatedSize >= entry.size;
    if (entry.stored) {
        entry.spilled.clear();
        // A small file read in one piece is still in the buffer: libzip need not read it again.
        if (reads == 1 && entry.size <= SmallEntry && spill.ReserveMemory(entry.size)) {
            entry.inMemory.assign(input.data(), entry.size);
            entry.keptOriginal = true;
        }
        return entry;
    }
    if (entry.spilled.empty() && pending.size() <= SmallEntry && spill.ReserveMemory(pending.size())) {
        entry.inMemory = std::move(pending);
    } else if (!pending.empty()) {
        DeflateSpill::Segment segment;
        if (!spill.Append(pending.data(), pending.size(), segment, error))
            return fail(error);
        entry.spilled.push_back(segment);
    }
    return entry;
}
