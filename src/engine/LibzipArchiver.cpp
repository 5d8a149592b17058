#include "engine/LibzipArchiver.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "engine/TaskPool.h"
#include "engine/ZipEntryPreparation.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <unordered_map>
#include <zip.h>
#include <zlib.h>

namespace {

constexpr int ZipErrorCode = ResultCode::ZipError;
constexpr int CancelledCode = ResultCode::Cancelled;
// The external attributes of an entry made on Unix carry the file's type and permission bits.
constexpr std::uint32_t UnixRegularFile = 0100000;
constexpr std::uint32_t UnixSymbolicLink = 0120000;
constexpr zip_uint16_t ExtendedTimestampId = 0x5455;

// Suffixes of files that are compressed already: deflating them again only costs time.
bool storedWithoutCompression(const std::string& name)
{
    static const char* const Stored[] = {"gif", "png", "z", "zip", "zoo", "arc", "lzh", "arj", "taz", "tgz", "lha"};
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return false;
    const std::string_view suffix = std::string_view(name).substr(dot + 1);
    return std::any_of(std::begin(Stored), std::end(Stored), [suffix](const char* s) { return SameText(suffix, s); });
}

bool isCancelled(const ZipCallbacks& callbacks)
{
    return callbacks.cancelled && callbacks.cancelled();
}

int cancelCallback(zip_t*, void* state)
{
    return isCancelled(*static_cast<const ZipCallbacks*>(state)) ? 1 : 0;
}

/// Hands libzip an entry that our threads deflated already, or a small stored file's bytes
/// read already; libzip copies (and encrypts) it as it is, since the data says how it is stored.
struct PreparedSource
{
    PreparedSource(const PreparedEntry& e, const DeflateSpill& s) : entry(e), spill(s) { zip_error_init(&error); }
    ~PreparedSource() { zip_error_fini(&error); }
    PreparedSource(const PreparedSource&) = delete;
    PreparedSource& operator=(const PreparedSource&) = delete;

    const PreparedEntry& entry;
    const DeflateSpill& spill;
    std::uint64_t position = 0; // in memory, or within the current segment
    std::size_t segment = 0;
    zip_error_t error;

    zip_int64_t read(char* out, zip_uint64_t length)
    {
        if (entry.spilled.empty()) {
            const std::uint64_t n = std::min<std::uint64_t>(length, entry.inMemory.size() - position);
            std::copy_n(entry.inMemory.data() + position, n, out);
            position += n;
            return static_cast<zip_int64_t>(n);
        }
        while (segment < entry.spilled.size() && position == entry.spilled[segment].length) {
            ++segment;
            position = 0;
        }
        if (segment == entry.spilled.size())
            return 0;
        const DeflateSpill::Segment& s = entry.spilled[segment];
        std::string reason;
        const std::int64_t n = spill.Read(s.offset + position, out,
                                          static_cast<std::size_t>(std::min(length, s.length - position)), reason);
        if (n <= 0) {
            zip_error_set(&error, ZIP_ER_READ, EIO);
            return -1;
        }
        position += static_cast<std::uint64_t>(n);
        return n;
    }
};

zip_int64_t preparedSourceCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* source = static_cast<PreparedSource*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        source->position = 0;
        source->segment = 0;
        return 0;
    case ZIP_SOURCE_READ:
        return source->read(static_cast<char*>(data), length);
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_MTIME;
        st->size = source->entry.size;
        st->comp_size = source->entry.keptOriginal ? source->entry.size : source->entry.deflatedSize;
        st->comp_method = source->entry.keptOriginal ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
        st->crc = source->entry.crc;
        st->mtime = static_cast<time_t>(source->entry.mtime);
        return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

/// Hands libzip a file that goes in stored as it is, read when libzip writes it. Opened without
/// waiting (a FIFO put in its place must not block the run), and as long as the walk found it:
/// a file that shrank meanwhile is filled up, one that grew is cut; the check after the archive
/// is written reports either.
struct FileSource
{
    explicit FileSource(const ZipEntry& e) : entry(e) { zip_error_init(&error); }
    ~FileSource() { zip_error_fini(&error); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    const ZipEntry& entry;
    std::unique_ptr<RawFile> file;
    std::uint64_t size = 0;
    std::uint64_t position = 0;
    zip_error_t error;

    zip_int64_t read(char* out, zip_uint64_t length)
    {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(length, size - position));
        std::string reason;
        std::int64_t got = n == 0 ? 0 : file->Read(out, n, reason);
        if (got < 0) {
            zip_error_set(&error, ZIP_ER_READ, EIO);
            return -1;
        }
        if (got == 0 && n > 0) {
            std::fill_n(out, n, '\0');
            got = static_cast<std::int64_t>(n);
        }
        position += static_cast<std::uint64_t>(got);
        return got;
    }
};

zip_int64_t fileSourceCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* source = static_cast<FileSource*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN: {
        std::string reason;
        source->file = RawFile::Open(source->entry.path, RawFile::Mode::Read, reason);
        if (!source->file) {
            zip_error_set(&source->error, ZIP_ER_OPEN, ENOENT);
            return -1;
        }
        source->size = static_cast<std::uint64_t>(source->entry.entry.size);
        source->position = 0;
        return 0;
    }
    case ZIP_SOURCE_READ:
        return source->read(static_cast<char*>(data), length);
    case ZIP_SOURCE_CLOSE:
        source->file.reset();
        return 0;
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        st->size = static_cast<zip_uint64_t>(source->entry.entry.size);
        st->mtime = static_cast<time_t>(source->entry.entry.mtimeNs / 1'000'000'000);
        return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

/// The entries to write, in list order; of two with the same name the later one, since adding
/// it would replace the first.
std::vector<std::size_t> entriesToWrite(const std::vector<ZipEntry>& entries)
{
    std::unordered_map<std::string, std::size_t> last;
    for (std::size_t i = 0; i < entries.size(); ++i)
        last[entries[i].name] = i;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (last[entries[i].name] == i)
            order.push_back(i);
    return order;
}

/// Consecutive entries (positions in the write order) that one task deflates: handing each
/// small file to a thread of its own costs more than deflating it.
struct Batch
{
    std::size_t first = 0;
    std::size_t last = 0;
};

std::vector<Batch> batchesOf(const std::vector<ZipEntry>& entries, const std::vector<std::size_t>& order)
{
    constexpr std::int64_t BatchBytes = std::int64_t{1} << 20;
    constexpr std::int64_t BytesPerFile = 4096; // what opening and closing a file weighs
    constexpr std::size_t MostFiles = 256;
    std::vector<Batch> batches;
    Batch batch;
    std::int64_t bytes = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        bytes += std::max(entries[order[k]].entry.size, BytesPerFile);
        batch.last = k + 1;
        if (bytes >= BatchBytes || batch.last - batch.first >= MostFiles) {
            batches.push_back(batch);
            batch.first = batch.last;
            bytes = 0;
        }
    }
    if (batch.last > batch.first)
        batches.push_back(batch);
    return batches;
}

/// Deflates the files of one batch, or notes the size of those that are stored as they are.
std::vector<PreparedEntry> deflateBatch(FileSystem& fs, const ZipOptions& options, const std::vector<ZipEntry>& entries,
                                        const std::vector<std::size_t>& order, Batch batch, DeflateSpill& spill,
                                        const std::function<bool()>& cancelled)
{
    std::vector<PreparedEntry> done;
    for (std::size_t k = batch.first; k < batch.last && !(cancelled && cancelled()); ++k) {
        const ZipEntry& e = entries[order[k]];
        if (e.entry.kind == EntryKind::Link) {
            // A link goes in as a link, as Info-ZIP and 7-Zip write one: its target as its data.
            done.emplace_back();
            PreparedEntry& link = done.back();
            const auto target = fs.ReadLink(e.path);
            link.failed = !target;
            if (link.failed)
                link.error = "Verknüpfung nicht lesbar";
            link.link = true;
            link.keptOriginal = true;
            link.inMemory = target.value_or(std::string());
            link.size = link.inMemory.size();
            link.crc = static_cast<std::uint32_t>(
                crc32(0, reinterpret_cast<const Bytef*>(link.inMemory.data()), static_cast<uInt>(link.size)));
            link.mtime = e.entry.mtimeNs / 1'000'000'000;
            link.mode = 0777;
            continue;
        }
        if (options.level > 0 && !storedWithoutCompression(e.name)) {
            done.push_back(DeflateFile(e.path, options.level, spill, cancelled));
        } else {
            // Read only when the archive is written: a file that cannot be opened now is
            // reported now, and costs itself, not the archive.
            done.emplace_back();
            done.back().size = static_cast<std::uint64_t>(e.entry.size);
            std::string reason;
            if (!RawFile::Open(e.path, RawFile::Mode::Read, reason)) {
                done.back().failed = true;
                done.back().error = reason;
            }
        }
    }
    return done;
}

/// Deflates on our threads, a few batches ahead of the file reported, and reports the files in
/// list order; the results wait in memory or in the spill until libzip writes them. A file that
/// cannot be read is reported and marked failed. False when the run was cancelled.
bool prepareEntries(FileSystem& fs, const ZipOptions& options, const std::vector<ZipEntry>& entries,
                    const std::vector<std::size_t>& order, DeflateSpill& spill, const ZipCallbacks& callbacks,
                    std::vector<PreparedEntry>& prepared)
{
    const std::vector<Batch> batches = batchesOf(entries, order);
    TaskPool pool(std::max(1u, options.threads));
    std::vector<std::future<std::vector<PreparedEntry>>> deflated(batches.size());
    const std::size_t ahead = std::size_t{4} * std::max(1u, options.threads);
    std::size_t submitted = 0;
    for (std::size_t b = 0; b < batches.size(); ++b) {
        for (; submitted < batches.size() && submitted <= b + ahead; ++submitted)
            deflated[submitted] = pool.submit([&, batch = batches[submitted]] {
                return deflateBatch(fs, options, entries, order, batch, spill, callbacks.cancelled);
            });
        std::vector<PreparedEntry> batch = deflated[b].get();
        if (isCancelled(callbacks))
            return false;
        for (std::size_t k = batches[b].first; k < batches[b].last; ++k) {
            const std::size_t i = order[k];
            PreparedEntry& p = batch[k - batches[b].first];
            if (callbacks.fileStarted)
                callbacks.fileStarted(entries[i]);
            if (p.failed) {
                callbacks.error(ZipErrorCode, entries[i].name + ": " + p.error);
                if (callbacks.fileSkipped)
                    callbacks.fileSkipped(i);
            } else if (callbacks.bytesDone) {
                callbacks.bytesDone(static_cast<std::int64_t>(p.size));
            }
            prepared[i] = std::move(p);
        }
    }
    return true;
}

} // namespace

std::string ArchiveEntryName(const std::string& path)
{
    std::string name;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string_view element = std::string_view(path).substr(start, end - start);
        if (!element.empty() && element != "." && element != "..")
            name += (name.empty() ? "" : "/") + std::string(element);
        start = end + 1;
    }
    return name;
}

std::optional<std::int64_t> LibzipArchiver::Write(const ZipOptions& options, const std::vector<ZipEntry>& entries,
                                                  const ZipCallbacks& callbacks)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const bool span = options.medium != nullptr;
    const fs::path archive = options.archivePath;
    const fs::path folder = options.temporaryFolder.empty() ? archive.parent_path() : fs::path(options.temporaryFolder);
    // The archive is built in a folder of its own that only its owner may enter (the system's
    // temporary folder is everybody's), born readable by its owner alone; a run that is killed
    // leaves a name the next run knows as its own.
    const fs::path work = folder / ("." + options.workTag + "-zip");
    const fs::path temporary = work / archive.filename();
    struct RemoveWork
    {
        const fs::path& path;
        ~RemoveWork()
        {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } removeWork{work};
    auto fail = [&](int code, const std::string& message) {
        callbacks.error(code, message);
        return std::optional<std::int64_t>();
    };
    fs::create_directory(work, error);
    fs::permissions(work, fs::perms::owner_all, error);
    if (error)
        return fail(ZipErrorCode, work.string() + ": " + error.message());

    const std::vector<std::size_t> order = entriesToWrite(entries);
    DeflateSpill spill(folder.string());
    std::vector<PreparedEntry> prepared(entries.size());
    if (!prepareEntries(m_fs, options, entries, order, spill, callbacks, prepared))
        return fail(CancelledCode, CancelledText);
    if (callbacks.finished)
        callbacks.finished();

    // A split archive cannot be updated: spanning always writes a new one. A new archive in which
    // a file could not be read starts from the old one instead, so the file keeps the copy it
    // had there; what the old archive holds of files that are gone is removed from it.
    const bool anyFailed =
        std::any_of(order.begin(), order.end(), [&prepared](std::size_t i) { return prepared[i].failed; });
    const bool keepOld = !span && !options.addToExisting && anyFailed && fs::exists(archive, error);
    const bool update = keepOld || (!span && options.addToExisting && fs::exists(archive, error));
    if (update) {
        const Status copied = m_fs.CopyFile(archive.string(), temporary.string());
        if (!copied.ok())
            return fail(ZipErrorCode, archive.string() + ": " + copied.message);
    }
    if (!update) {
        // libzip keeps the mode of the file it replaces.
        std::string reason;
        if (!RawFile::Open(temporary.string(), RawFile::Mode::Create, reason))
            return fail(ZipErrorCode, temporary.string() + ": " + reason);
    }
    int openError = 0;
    zip_t* zip = zip_open(temporary.c_str(), update ? 0 : ZIP_CREATE | ZIP_TRUNCATE, &openError);
    if (zip == nullptr) {
        zip_error_t e;
        zip_error_init_with_code(&e, openError);
        const std::string message = zip_error_strerror(&e);
        zip_error_fini(&e);
        return fail(ZipErrorCode, archive.string() + ": " + message);
    }
    zip_register_cancel_callback_with_state(zip, cancelCallback, nullptr, const_cast<ZipCallbacks*>(&callbacks));
    if (keepOld) {
        std::unordered_map<std::string, bool> current;
        for (const std::size_t i : order)
            current[entries[i].name] = true;
        const zip_int64_t count = zip_get_num_entries(zip, 0);
        for (zip_int64_t j = 0; j < count; ++j) {
            const char* name = zip_get_name(zip, static_cast<zip_uint64_t>(j), ZIP_FL_ENC_RAW);
            if (name != nullptr && current.count(name) == 0)
                zip_delete(zip, static_cast<zip_uint64_t>(j));
        }
    }
    std::vector<std::unique_ptr<FileSource>> files;
    std::vector<std::unique_ptr<PreparedSource>> readers;
    for (const std::size_t i : order) {
        if (prepared[i].failed)
            continue;
        const ZipEntry& e = entries[i];
        const PreparedEntry& p = prepared[i];
        zip_source_t* source = nullptr;
        if (p.stored && !p.keptOriginal) {
            files.push_back(std::make_unique<FileSource>(e));
            source = zip_source_function(zip, fileSourceCallback, files.back().get());
        } else {
            readers.push_back(std::make_unique<PreparedSource>(p, spill));
            source = zip_source_function(zip, preparedSourceCallback, readers.back().get());
        }
        // A name that is not UTF-8 goes in as its bytes, without the UTF-8 flag: every tool
        // opens it, and the file is not lost for its name.
        const zip_flags_t encoding = IsValidUtf8(e.name) ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_CP437;
        const zip_int64_t index = source ? zip_file_add(zip, e.name.c_str(), source, ZIP_FL_OVERWRITE | encoding) : -1;
        if (index < 0) {
            // One entry that cannot be added costs that entry, not the archive.
            if (source)
                zip_source_free(source);
            callbacks.error(ZipErrorCode, e.name + ": " + zip_strerror(zip));
            if (callbacks.fileSkipped)
                callbacks.fileSkipped(i);
            zip_error_clear(zip);
            continue;
        }
        const auto at = static_cast<zip_uint64_t>(index);
        zip_set_file_compression(zip, at, p.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                 static_cast<zip_uint32_t>(p.stored ? 0 : options.level));
        if (!p.stored || p.keptOriginal)
            zip_file_set_external_attributes(zip, at, 0, ZIP_OPSYS_UNIX,
                                             ((p.link ? UnixSymbolicLink : UnixRegularFile) | p.mode) << 16);
        // The time to the second, and beyond the years a DOS date can hold (1980 to 2107): the
        // extended timestamp unzip and 7-Zip give back.
        const std::int64_t seconds = e.entry.mtimeNs / 1'000'000'000;
        const auto time = static_cast<std::uint32_t>(static_cast<std::int32_t>(seconds));
        const zip_uint8_t timestamp[5] = {1, static_cast<zip_uint8_t>(time), static_cast<zip_uint8_t>(time >> 8),
                                          static_cast<zip_uint8_t>(time >> 16), static_cast<zip_uint8_t>(time >> 24)};
        zip_file_extra_field_set(zip, at, ExtendedTimestampId, ZIP_EXTRA_FIELD_NEW, timestamp, sizeof timestamp,
                                 ZIP_FL_LOCAL | ZIP_FL_CENTRAL);
        if (!options.password.empty())
            zip_file_set_encryption(zip, at, ZIP_EM_TRAD_PKWARE, options.password.c_str());
    }
    if (zip_close(zip) != 0) {
        const std::string message = zip_strerror(zip);
        zip_discard(zip);
        return isCancelled(callbacks) ? fail(CancelledCode, CancelledText)
                                      : fail(ZipErrorCode, archive.string() + ": " + message);
    }
    // A file that changed after the walk saw it may be in the archive as it never was: it is an
    // error, and keeps its archive bit for the next run.
    for (const std::size_t i : order) {
        if (prepared[i].failed)
            continue;
        const FileEntry& seen = entries[i].entry;
        const auto now = seen.kind == EntryKind::Link ? m_fs.LinkStat(entries[i].path) : m_fs.Stat(entries[i].path);
        if (!now || now->size != seen.size || now->mtimeNs != seen.mtimeNs || now->ctimeNs != seen.ctimeNs) {
            callbacks.error(ResultCode::InUse, entries[i].name + ": während des Archivierens geändert");
            if (callbacks.fileSkipped)
                callbacks.fileSkipped(i);
        }
    }
    const auto size = fs::file_size(temporary, error);
    if (span) {
        const SpanOutcome outcome = WriteVolumes(temporary.string(), archive.string(), options.maxVolumeSize,
                                                 *options.medium, callbacks.cancelled);
        if (outcome.code != 0)
            return fail(outcome.code, outcome.message);
        return static_cast<std::int64_t>(size);
    }
    fs::rename(temporary, archive, error);
    if (error) {
        // Another file system: a copy that replaces the old archive only when it is complete.
        const Status copied = m_fs.CopyFile(temporary.string(), archive.string());
        if (!copied.ok())
            return fail(ZipErrorCode, archive.string() + ": " + copied.message);
    }
    return static_cast<std::int64_t>(size);
}
