#include "engine/ZipVolumes.h"

#include "base/ResultCodes.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t LocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t CentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t EndSignature = 0x06054b50;
constexpr std::uint32_t Zip64EndSignature = 0x06064b50;
constexpr std::uint32_t Zip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t SpanningSignature = 0x08074b50;
constexpr std::uint32_t OneVolumeSignature = 0x30304b50;
constexpr std::uint16_t Zip64ExtraId = 0x0001;
constexpr std::uint32_t Max16 = 0xffff;
constexpr std::uint64_t Max32 = 0xffffffff;
constexpr std::size_t CentralFixedSize = 46;
constexpr std::size_t EndSize = 22;
constexpr std::size_t Zip64EndSize = 56;
constexpr std::size_t Zip64LocatorSize = 20;
// With the medium's free space as the limit, this much stays free for the file system's own use.
constexpr std::int64_t FreeSpaceReserve = std::int64_t{64} * 1024;
constexpr int ZipErrorCode = ResultCode::ZipError;
constexpr int CancelledCode = ResultCode::Cancelled;

std::uint64_t get(const unsigned char* p, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

void put(std::string& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i) & 0xff));
}

void putAt(std::string& out, std::size_t at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xff);
}

const unsigned char* bytes(const std::string& s, std::size_t at = 0)
{
    return reinterpret_cast<const unsigned char*>(s.data()) + at;
}

struct Failure
{
    int code;
    std::string message;
};

bool readAt(const RawFile& file, std::uint64_t offset, std::string& out, std::size_t length)
{
    out.resize(length);
    std::string error;
    return file.ReadAt(offset, out.data(), length, error) == static_cast<std::int64_t>(length);
}

/// One entry of the central directory, as the whole archive has it.
struct CentralRecord
{
    std::string fixed; // the 46 bytes before the name
    std::string name;
    std::string extra; // without the Zip64 field
    std::string comment;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t localOffset = 0;
    std::uint64_t localHeaderSize = 0;
    // Where its local header went.
    std::uint32_t volume = 0;
    std::uint64_t volumeOffset = 0;
};

/// What the splitter needs of the whole (single-volume) archive.
struct WholeArchive
{
    std::unique_ptr<RawFile> file;
    std::uint64_t size = 0;
    std::uint64_t centralOffset = 0;
    std::string comment;
    std::vector<CentralRecord> records;
};

void parseExtra(CentralRecord& r, const std::string& extra)
{
    const bool bigUncompressed = get(bytes(r.fixed, 24), 4) == Max32;
    const bool bigCompressed = get(bytes(r.fixed, 20), 4) == Max32;
    const bool bigOffset = get(bytes(r.fixed, 42), 4) == Max32;
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const auto id = static_cast<std::uint16_t>(get(bytes(extra, at), 2));
        const std::size_t length = get(bytes(extra, at + 2), 2);
        const std::size_t end = std::min(extra.size(), at + 4 + length);
        if (id == Zip64ExtraId) {
            std::size_t field = at + 4;
            auto take = [&](bool present, std::uint64_t& value) {
                if (present && field + 8 <= end) {
                    value = get(bytes(extra, field), 8);
                    field += 8;
                }
            };
            take(bigUncompressed, r.uncompressedSize);
            take(bigCompressed, r.compressedSize);
            take(bigOffset, r.localOffset);
        } else {
            r.extra.append(extra, at, end - at);
        }
        at = end;
    }
}

/// Where the end record stands in the tail of an archive (it ends the file, after its comment).
std::optional<std::size_t> endRecordIn(const std::string& tail)
{
    for (std::size_t at = tail.size() - EndSize + 1; at-- > 0;)
        if (get(bytes(tail, at), 4) == EndSignature && at + EndSize + get(bytes(tail, at + 20), 2) == tail.size())
            return at;
    return std::nullopt;
}

/// Reads the central record at at of central into r (its volume and offset as it says them);
/// its length, 0 when there is none whole.
std::size_t readCentralRecord(const std::string& central, std::size_t at, CentralRecord& r)
{
    if (at + CentralFixedSize > central.size() || get(bytes(central, at), 4) != CentralHeaderSignature)
        return 0;
    r.fixed = central.substr(at, CentralFixedSize);
    const std::size_t nameLength = get(bytes(r.fixed, 28), 2);
    const std::size_t extraLength = get(bytes(r.fixed, 30), 2);
    const std::size_t commentLength = get(bytes(r.fixed, 32), 2);
    const std::size_t length = CentralFixedSize + nameLength + extraLength + commentLength;
    if (at + length > central.size())
        return 0;
    r.name = central.substr(at + CentralFixedSize, nameLength);
    r.comment = central.substr(at + CentralFixedSize + nameLength + extraLength, commentLength);
    r.uncompressedSize = get(bytes(r.fixed, 24), 4);
    r.compressedSize = get(bytes(r.fixed, 20), 4);
    r.localOffset = get(bytes(r.fixed, 42), 4);
    parseExtra(r, central.substr(at + CentralFixedSize + nameLength, extraLength));
    return length;
}

std::optional<Failure> readWholeArchive(WholeArchive& a)
{
    const Failure damaged{ZipErrorCode, "Archiv kann nicht aufgeteilt werden: unbekannter Aufbau"};
    a.size = a.file->Size();
    if (a.size < EndSize)
        return damaged;
    const std::uint64_t tailSize = std::min<std::uint64_t>(a.size, EndSize + 65535);
    std::string tail;
    if (!readAt(*a.file, a.size - tailSize, tail, tailSize))
        return damaged;
    const std::optional<std::size_t> end = endRecordIn(tail);
    if (!end || get(bytes(tail, *end + 4), 2) != 0 || get(bytes(tail, *end + 6), 2) != 0)
        return damaged; // none, or already split
    std::uint64_t entries = get(bytes(tail, *end + 10), 2);
    std::uint64_t centralSize = get(bytes(tail, *end + 12), 4);
    a.centralOffset = get(bytes(tail, *end + 16), 4);
    a.comment = tail.substr(*end + EndSize);
    const std::uint64_t endOffset = a.size - tailSize + *end;
    std::string locator;
    if (endOffset >= Zip64LocatorSize && readAt(*a.file, endOffset - Zip64LocatorSize, locator, Zip64LocatorSize) &&
        get(bytes(locator), 4) == Zip64LocatorSignature) {
        std::string record;
        if (!readAt(*a.file, get(bytes(locator, 8), 8), record, Zip64EndSize) ||
            get(bytes(record), 4) != Zip64EndSignature)
            return damaged;
        entries = get(bytes(record, 32), 8);
        centralSize = get(bytes(record, 40), 8);
        a.centralOffset = get(bytes(record, 48), 8);
    }
    std::string central;
    if (centralSize > a.size || a.centralOffset > a.size - centralSize ||
        !readAt(*a.file, a.centralOffset, central, centralSize))
        return damaged;
    for (std::size_t at = 0; a.records.size() < entries;) {
        CentralRecord r;
        const std::size_t length = readCentralRecord(central, at, r);
        if (length == 0)
            return damaged;
        std::string local;
        if (!readAt(*a.file, r.localOffset, local, 30) || get(bytes(local), 4) != LocalHeaderSignature)
            return damaged;
        r.localHeaderSize = 30 + get(bytes(local, 26), 2) + get(bytes(local, 28), 2);
        if (r.localOffset + r.localHeaderSize > a.centralOffset)
            return damaged;
        a.records.push_back(std::move(r));
        at += length;
    }
    return std::nullopt;
}

/// The central record of an entry whose local header now lies at volume and volumeOffset.
std::string centralRecordFor(const CentralRecord& r)
{
    std::string zip64;
    auto field = [&zip64](bool needed, std::uint64_t value) {
        if (needed)
            put(zip64, value, 8);
        return needed;
    };
    const bool bigUncompressed = field(r.uncompressedSize >= Max32, r.uncompressedSize);
    const bool bigCompressed = field(r.compressedSize >= Max32, r.compressedSize);
    const bool bigOffset = field(r.volumeOffset >= Max32, r.volumeOffset);
    std::string extra;
    if (!zip64.empty()) {
        put(extra, Zip64ExtraId, 2);
        put(extra, zip64.size(), 2);
        extra += zip64;
    }
    extra += r.extra;
    std::string out = r.fixed;
    if (!zip64.empty() && get(bytes(out, 6), 2) < 45)
        putAt(out, 6, 45, 2);
    putAt(out, 20, bigCompressed ? Max32 : r.compressedSize, 4);
    putAt(out, 24, bigUncompressed ? Max32 : r.uncompressedSize, 4);
    putAt(out, 30, extra.size(), 2);
    putAt(out, 34, r.volume, 2);
    putAt(out, 42, bigOffset ? Max32 : r.volumeOffset, 4);
    return out + r.name + extra + r.comment;
}

int volumeNumber(const std::string& name)
{
    return std::atoi(name.substr(name.rfind(".z") + 2).c_str());
}

/// Removes the volumes of the archive named archiveName in folder from number first on: only the
/// names that are there.
void removeVolumesFrom(const std::string& folder, const std::string& archiveName, int first)
{
    std::error_code error;
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (IsVolumeName(name, archiveName) && volumeNumber(name) >= first)
            found.push_back(entry.path());
    }
    for (const auto& path : found)
        std::filesystem::remove(path, error);
}

/// Writes the volumes one after the other, asking for a new medium when one is full. With
/// counting set it writes nothing and only counts the volumes that volumes of maxVolumeSize
/// bytes make.
class VolumeOutput final
{
public:
    VolumeOutput(bool counting, const std::string& archivePath, std::int64_t maxVolumeSize, SpanMedium* medium,
                 const std::function<bool()>& cancelled, int total)
        : m_counting(counting), m_archivePath(archivePath), m_maxVolumeSize(maxVolumeSize), m_medium(medium),
          m_cancelled(cancelled), m_total(total)
    {
    }
    ~VolumeOutput() { abandon(); }
    VolumeOutput(const VolumeOutput&) = delete;
    VolumeOutput& operator=(const VolumeOutput&) = delete;

    /// Starts the first volume; remaining: about how many bytes the whole split archive takes.
    bool Begin(std::uint64_t remaining)
    {
        m_remaining = remaining;
        return open();
    }
    /// Makes sure the next length bytes go into one volume.
    bool KeepWhole(std::uint64_t length)
    {
        if (m_used + length <= m_capacity)
            return true;
        if (!next())
            return false;
        if (m_used + length > m_capacity)
            return fail(ZipErrorCode, "Volumengröße zu klein für einen Kopfsatz");
        return true;
    }
    bool Write(const char* data, std::uint64_t length)
    {
        while (length > 0) {
            if (m_used == m_capacity && !next())
                return false;
            const std::uint64_t part = std::min(length, m_capacity - m_used);
            if (!m_counting && !writeAll(data, part))
                return false;
            m_used += part;
            m_remaining -= std::min(m_remaining, part);
            if (!m_counting)
                data += part;
            length -= part;
        }
        return true;
    }
    /// Closes the last volume under the archive's own name. An archive that fits into one
    /// volume carries the marker of a split archive that turned out whole.
    bool Finish()
    {
        if (!m_counting && m_volume == 0) {
            std::string marker;
            put(marker, OneVolumeSignature, 4);
            std::string error;
            if (!m_file->WriteAt(0, marker.data(), marker.size(), error))
                return fail(ZipErrorCode, m_temporary + ": " + error);
        }
        return close(m_archivePath) && (m_staging.empty() || commitStaged());
    }
    bool Fail(int code, std::string message) { return fail(code, std::move(message)); }

    bool Counting() const { return m_counting; }
    int Volume() const { return m_volume; }
    std::uint64_t Position() const { return m_used; }
    const Failure& Error() const { return m_failure; }

private:
    bool fail(int code, std::string message)
    {
        if (m_failure.code == 0)
            m_failure = {code, std::move(message)};
        return false;
    }
    bool writeAll(const char* data, std::uint64_t length)
    {
        std::string error;
        if (!m_file->Write(data, static_cast<std::size_t>(length), error))
            return fail(ZipErrorCode, m_temporary + ": " + error);
        return !(m_cancelled && m_cancelled()) || fail(CancelledCode, CancelledText);
    }
    bool next()
    {
        if (!close(VolumeName(m_archivePath, m_volume + 1)))
            return false;
        ++m_volume;
        return open();
    }
    bool close(const std::string& finalName)
    {
        if (m_counting)
            return true;
        const std::string name = m_staging.empty() ? finalName : m_staging + nameOf(finalName);
        // A volume must be on the medium before the user is asked to take it out.
        std::string error;
        const bool closed = m_file->SyncAndClose(error);
        m_file.reset();
        std::error_code renamed;
        if (closed)
            std::filesystem::rename(m_temporary, name, renamed);
        if (!closed || renamed) {
            std::error_code ignored;
            std::filesystem::remove(m_temporary, ignored);
            return fail(ZipErrorCode, name + ": " + (closed ? renamed.message() : error));
        }
        m_onMedium.push_back(name);
        return true;
    }
    static std::string nameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }
    std::string folderOfArchive() const { return std::filesystem::path(m_archivePath).parent_path().string() + "/"; }
    /// Removes what an earlier run left of an archive of this name on the medium.
    void removeOldVolumes()
    {
        std::error_code ignored;
        std::filesystem::remove(m_archivePath, ignored);
        removeVolumesFrom(folderOfArchive(), nameOf(m_archivePath), 1);
    }
    bool prepareMedium()
    {
        m_onMedium.clear();
        if (m_medium->prepare)
            if (const auto refusal = m_medium->prepare(std::string()))
                return fail(ZipErrorCode, *refusal);
        removeOldVolumes();
        return true;
    }
    /// The first medium decides: with room for the new set beside everything on it, the set is
    /// written in a private folder first; else what is there must go before.
    bool startFirstMedium()
    {
        const auto free = m_medium->freeSpace ? m_medium->freeSpace() : std::nullopt;
        if (free && *free >= static_cast<std::int64_t>(m_remaining) + FreeSpaceReserve) {
            m_staging = folderOfArchive() + "." + nameOf(m_archivePath) + "." + m_medium->workTag + "-volumes/";
            std::error_code ignored;
            std::filesystem::remove_all(m_staging, ignored); // what a killed run left
            std::filesystem::create_directory(m_staging, ignored);
            if (!std::filesystem::is_directory(m_staging, ignored)) {
                m_staging.clear();
                return fail(ZipErrorCode, m_archivePath + ": Ordner für die neuen Teile kann nicht angelegt werden");
            }
            return true;
        }
        // The old set goes first only when someone can put in the next medium the new one may
        // need; without, a run would end with no archive at all.
        if (!m_medium->someoneToAsk)
            return fail(ZipErrorCode, "Das Medium hat keinen Platz für die alten und die neuen Teile von " +
                                          nameOf(m_archivePath) +
                                          "; die alten bleiben, da niemand ein weiteres Medium einlegen kann");
        if (m_medium->note)
            m_medium->note(std::string("Hinweis: Das Medium hat keinen Platz für die alten und die neuen Teile von ") +
                           nameOf(m_archivePath) + "; die alten werden vorher entfernt.");
        return prepareMedium();
    }
    /// The new set is complete in its private folder: only now the medium is readied (emptied
    /// when the profile says so), the old volumes go and the new ones take their place.
    bool commitStaged()
    {
        // Renamed, the folder says that the set in it is complete: a run killed from here on
        // leaves the next one a set to finish putting in place, never a half of each.
        const std::string folder = folderOfArchive();
        const int count = static_cast<int>(m_onMedium.size());
        const std::string complete = CompleteSetName(nameOf(m_archivePath), m_medium->workTag, count);
        std::error_code error;
        std::filesystem::rename(m_staging.substr(0, m_staging.size() - 1), folder + complete, error);
        if (error)
            return fail(ZipErrorCode, folder + complete + ": " + error.message());
        m_onMedium.clear();
        m_staging = folder + complete + "/";
        if (m_medium->prepare)
            if (const auto refusal = m_medium->prepare(complete))
                return fail(ZipErrorCode, *refusal);
        // From here a failure keeps the new set for the next run to finish.
        m_staging.clear();
        std::string reason;
        return CommitVolumeSet(folder, nameOf(m_archivePath), folder + complete + "/", count, reason) ||
               fail(ZipErrorCode, reason);
    }
    bool open()
    {
        m_used = 0;
        if (m_counting) {
            m_capacity = static_cast<std::uint64_t>(m_maxVolumeSize);
            return true;
        }
        if (m_volume == 0 && !startFirstMedium())
            return false;
        for (;;) {
            const auto free = m_medium->freeSpace ? m_medium->freeSpace() : std::nullopt;
            if (!free && m_maxVolumeSize == 0)
                return fail(ZipErrorCode, "freier Platz auf dem Medium unbekannt");
            const std::uint64_t wanted = m_maxVolumeSize > 0 ? static_cast<std::uint64_t>(m_maxVolumeSize)
                                                             : static_cast<std::uint64_t>(MinimumVolumeSize);
            const std::uint64_t needed = std::min(wanted, m_remaining);
            const std::int64_t usable = free ? *free - (m_maxVolumeSize > 0 ? 0 : FreeSpaceReserve) : INT64_MAX;
            if (usable > 0 && static_cast<std::uint64_t>(usable) >= needed) {
                m_capacity = m_maxVolumeSize > 0 ? wanted : static_cast<std::uint64_t>(usable);
                break;
            }
            // The medium is full: the user puts in the next one. A set that was to fit beside
            // the old one does not ask for another medium: the old set stays as it is.
            if (!m_staging.empty())
                return fail(ZipErrorCode, m_archivePath + ": kein Platz mehr auf dem Medium");
            if (!m_medium->insertNext || !m_medium->insertNext(m_volume + 1, m_total))
                return fail(CancelledCode, CancelledText);
            if (!prepareMedium())
                return false;
        }
        m_temporary = (m_staging.empty() ? folderOfArchive() : m_staging) + "." + nameOf(m_archivePath) + "." +
                      m_medium->workTag + "-volume";
        std::string error;
        m_file = RawFile::Open(m_temporary, RawFile::Mode::Create, error);
        if (!m_file)
            return fail(ZipErrorCode, m_temporary + ": " + error);
        return true;
    }
    /// A split archive that did not get its last volume is of no use: what this run wrote to
    /// the medium in hand goes.
    void abandon()
    {
        if (m_counting || m_failure.code == 0)
            return;
        std::error_code ignored;
        if (m_file) {
            m_file.reset();
            std::filesystem::remove(m_temporary, ignored);
        }
        for (const std::string& name : m_onMedium)
            std::filesystem::remove(name, ignored);
        if (!m_staging.empty())
            std::filesystem::remove_all(m_staging, ignored);
    }

    bool m_counting;
    std::string m_archivePath;
    std::int64_t m_maxVolumeSize;
    SpanMedium* m_medium;
    const std::function<bool()>& m_cancelled;
    int m_total;
    int m_volume = 0;
    std::uint64_t m_used = 0;
    std::uint64_t m_capacity = 0;
    std::uint64_t m_remaining = 0;
    std::unique_ptr<RawFile> m_file;
    std::string m_temporary;
    std::vector<std::string> m_onMedium;
    std::string m_staging; // the private folder the new set is written in, ending with "/"
    Failure m_failure{0, {}};
};

bool copyRange(const RawFile& file, std::uint64_t from, std::uint64_t to, VolumeOutput& out)
{
    if (out.Counting())
        return out.Write(nullptr, to - from);
    std::string buffer;
    while (from < to) {
        const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(to - from, 1u << 20));
        if (!readAt(file, from, buffer, part))
            return out.Fail(ZipErrorCode, "Lesefehler im Archiv");
        if (!out.Write(buffer.data(), part))
            return false;
        from += part;
    }
    return true;
}

/// Lays the archive out over the volumes of out; false when out failed.
bool emit(WholeArchive& a, VolumeOutput& out)
{
    std::string marker;
    put(marker, SpanningSignature, 4);
    const std::uint64_t estimate = a.size + 4 + a.records.size() * 28;
    if (!out.Begin(estimate) || !out.Write(marker.data(), marker.size()))
        return false;
    std::vector<std::size_t> order(a.records.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&a](std::size_t l, std::size_t r) { return a.records[l].localOffset < a.records[r].localOffset; });
    std::uint64_t position = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        CentralRecord& r = a.records[order[k]];
        if (!copyRange(*a.file, position, r.localOffset, out) || !out.KeepWhole(r.localHeaderSize))
            return false;
        r.volume = static_cast<std::uint32_t>(out.Volume());
        r.volumeOffset = out.Position();
        position = r.localOffset;
    }
    if (!copyRange(*a.file, position, a.centralOffset, out))
        return false;

    std::uint64_t centralSize = 0;
    int centralVolume = -1;
    std::uint64_t centralOffset = 0;
    int lastRecordVolume = -1;
    std::uint64_t onLastVolume = 0; // central records on the volume that gets the end records
    for (const CentralRecord& r : a.records) {
        const std::string record = centralRecordFor(r);
        if (!out.KeepWhole(record.size()))
            return false;
        if (centralVolume < 0) {
            centralVolume = out.Volume();
            centralOffset = out.Position();
        }
        if (out.Volume() != lastRecordVolume) {
            lastRecordVolume = out.Volume();
            onLastVolume = 0;
        }
        ++onLastVolume;
        if (!out.Write(record.data(), record.size()))
            return false;
        centralSize += record.size();
    }
    if (centralVolume < 0) {
        centralVolume = out.Volume();
        centralOffset = out.Position();
    }
    const std::uint64_t entries = a.records.size();
    const bool zip64 = entries >= Max16 || centralSize >= Max32 || centralOffset >= Max32;
    const std::size_t endSize = (zip64 ? Zip64EndSize + Zip64LocatorSize : 0) + EndSize + a.comment.size();
    if (!out.KeepWhole(endSize))
        return false;
    if (out.Volume() != lastRecordVolume)
        onLastVolume = 0;
    const auto lastVolume = static_cast<std::uint64_t>(out.Volume());
    if (lastVolume >= Max16)
        return out.Fail(ZipErrorCode, "zu viele Volumes");
    std::string end;
    if (zip64) {
        const std::uint64_t zip64EndOffset = out.Position();
        put(end, Zip64EndSignature, 4);
        put(end, Zip64EndSize - 12, 8);
        put(end, 45, 2);
        put(end, 45, 2);
        put(end, lastVolume, 4);
        put(end, static_cast<std::uint64_t>(centralVolume), 4);
        put(end, onLastVolume, 8);
        put(end, entries, 8);
        put(end, centralSize, 8);
        put(end, centralOffset, 8);
        put(end, Zip64LocatorSignature, 4);
        put(end, lastVolume, 4);
        put(end, zip64EndOffset, 8);
        put(end, lastVolume + 1, 4);
    }
    put(end, EndSignature, 4);
    put(end, lastVolume, 2);
    put(end, static_cast<std::uint64_t>(centralVolume), 2);
    put(end, std::min<std::uint64_t>(onLastVolume, Max16), 2);
    put(end, std::min<std::uint64_t>(entries, Max16), 2);
    put(end, std::min<std::uint64_t>(centralSize, Max32), 4);
    put(end, std::min<std::uint64_t>(centralOffset, Max32), 4);
    put(end, a.comment.size(), 2);
    end += a.comment;
    return out.Write(end.data(), end.size()) && out.Finish();
}

} // namespace

std::string CompleteSetName(const std::string& archiveName, const std::string& workTag, int count)
{
    return "." + archiveName + "." + workTag + "-commit" + std::to_string(count);
}

bool CommitVolumeSet(const std::string& folder, const std::string& archiveName, const std::string& setFolder, int count,
                     std::string& reason)
{
    removeVolumesFrom(folder, archiveName, count);
    for (int number = 1; number <= count; ++number) {
        const std::string name =
            number == count ? archiveName : std::filesystem::path(VolumeName(archiveName, number)).filename().string();
        std::error_code error;
        if (!std::filesystem::exists(setFolder + name, error))
            continue; // put in place before the cut
        std::filesystem::rename(setFolder + name, folder + name, error);
        if (error) {
            reason = folder + name + ": " + error.message();
            return false;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(setFolder, ignored);
    return true;
}

std::string VolumeName(const std::string& archivePath, int number)
{
    const std::filesystem::path path(archivePath);
    std::filesystem::path volume = path;
    volume.replace_extension((number < 10 ? ".z0" : ".z") + std::to_string(number));
    return volume.string();
}

bool IsVolumeName(const std::string& name, const std::string& archiveName)
{
    const std::string stem = std::filesystem::path(archiveName).stem().string();
    if (name.size() < stem.size() + 4 || name.compare(0, stem.size(), stem) != 0 ||
        name.compare(stem.size(), 2, ".z") != 0)
        return false;
    const std::string number = name.substr(stem.size() + 2);
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

SpanOutcome WriteVolumes(const std::string& wholeArchive, const std::string& archivePath, std::int64_t maxVolumeSize,
                         SpanMedium& medium, const std::function<bool()>& cancelled)
{
    if (maxVolumeSize != 0 && maxVolumeSize < MinimumVolumeSize)
        return {ZipErrorCode,
                "Volumengröße " + std::to_string(maxVolumeSize) + " Bytes ist kleiner als " +
                    std::to_string(MinimumVolumeSize),
                0};
    WholeArchive archive;
    std::string error;
    archive.file = RawFile::Open(wholeArchive, RawFile::Mode::Read, error);
    if (!archive.file)
        return {ZipErrorCode, wholeArchive + ": " + error, 0};
    SpanOutcome outcome;
    if (const auto failure = readWholeArchive(archive)) {
        outcome = {failure->code, failure->message, 0};
    } else {
        int total = 0;
        if (maxVolumeSize > 0) {
            VolumeOutput counter(true, archivePath, maxVolumeSize, &medium, cancelled, 0);
            emit(archive, counter);
            total = counter.Volume() + 1;
        }
        VolumeOutput out(false, archivePath, maxVolumeSize, &medium, cancelled, total);
        if (emit(archive, out))
            outcome.volumes = out.Volume() + 1;
        else
            outcome = {out.Error().code, out.Error().message, 0};
    }
    return outcome;
}

std::vector<std::string> VolumesOf(const std::string& archivePath)
{
    std::vector<std::string> volumes;
    std::error_code error;
    for (int number = 1; number < static_cast<int>(Max16); ++number) {
        const std::string volume = VolumeName(archivePath, number);
        if (!std::filesystem::is_regular_file(volume, error))
            break;
        volumes.push_back(volume);
    }
    volumes.push_back(archivePath);
    return volumes;
}

std::optional<std::string> JoinVolumes(const std::string& archivePath, const std::string& joinedPath)
{
    const std::string damaged = "Teilarchiv unvollständig oder beschädigt: " + archivePath;
    const std::vector<std::string> names = VolumesOf(archivePath);
    std::vector<std::unique_ptr<RawFile>> volumes;
    // Where each volume begins in the whole archive; the first one's offsets count its spanning
    // signature, so it begins 4 bytes before the whole (in unsigned arithmetic, which wraps back).
    std::vector<std::uint64_t> base;
    std::uint64_t total = 0;
    std::string error;
    for (const std::string& name : names) {
        auto file = RawFile::Open(name, RawFile::Mode::Read, error);
        if (!file)
            return name + ": " + error;
        // The spanning signature before the first volume is no part of the whole.
        const std::uint64_t skip = volumes.empty() ? 4 : 0;
        base.push_back(total - skip);
        total += file->Size() - std::min<std::uint64_t>(skip, file->Size());
        volumes.push_back(std::move(file));
    }
    std::string marker;
    if (!readAt(*volumes.front(), 0, marker, 4) || (volumes.size() > 1 && get(bytes(marker), 4) != SpanningSignature &&
                                                    get(bytes(marker), 4) != OneVolumeSignature))
        return damaged;
    const RawFile& last = *volumes.back();
    const std::uint64_t lastSize = last.Size();
    const std::uint64_t tailSize = std::min<std::uint64_t>(lastSize, EndSize + 65535);
    std::string tail;
    if (lastSize < EndSize || !readAt(last, lastSize - tailSize, tail, tailSize))
        return damaged;
    const std::optional<std::size_t> end = endRecordIn(tail);
    if (!end)
        return damaged;
    std::uint64_t centralVolume = get(bytes(tail, *end + 6), 2);
    std::uint64_t entries = get(bytes(tail, *end + 10), 2);
    std::uint64_t centralSize = get(bytes(tail, *end + 12), 4);
    std::uint64_t centralOffset = get(bytes(tail, *end + 16), 4);
    const std::string comment = tail.substr(*end + EndSize);
    const std::uint64_t endOffset = lastSize - tailSize + *end;
    std::string locator;
    if (endOffset >= Zip64LocatorSize && readAt(last, endOffset - Zip64LocatorSize, locator, Zip64LocatorSize) &&
        get(bytes(locator), 4) == Zip64LocatorSignature) {
        const std::uint64_t recordVolume = get(bytes(locator, 4), 4);
        std::string record;
        if (recordVolume >= volumes.size() ||
            !readAt(*volumes[recordVolume], get(bytes(locator, 8), 8), record, Zip64EndSize) ||
            get(bytes(record), 4) != Zip64EndSignature)
            return damaged;
        centralVolume = get(bytes(record, 20), 4);
        entries = get(bytes(record, 32), 8);
        centralSize = get(bytes(record, 40), 8);
        centralOffset = get(bytes(record, 48), 8);
    }
    if (centralVolume >= volumes.size())
        return damaged;
    const std::uint64_t centralStart = base[centralVolume] + centralOffset;
    if (centralStart > total || centralSize > total - centralStart)
        return damaged;

    // The whole archive up to its central directory, volume after volume.
    auto out = RawFile::Open(joinedPath, RawFile::Mode::Create, error);
    if (!out)
        return joinedPath + ": " + error;
    std::string central;
    std::string buffer;
    for (std::size_t v = 0; v < volumes.size(); ++v) {
        const std::uint64_t from = v == 0 ? 4 : 0;
        const std::uint64_t size = volumes[v]->Size();
        for (std::uint64_t at = from; at < size;) {
            const std::uint64_t whole = base[v] + at;
            const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(size - at, 1u << 20));
            if (!readAt(*volumes[v], at, buffer, part))
                return damaged;
            // What lies before the central directory is copied; the directory is kept to be rewritten.
            const std::size_t before =
                whole >= centralStart ? 0
                                      : static_cast<std::size_t>(std::min<std::uint64_t>(part, centralStart - whole));
            if (before > 0 && !out->Write(buffer.data(), before, error))
                return joinedPath + ": " + error;
            if (central.size() < centralSize && before < part)
                central.append(
                    buffer, before,
                    static_cast<std::size_t>(std::min<std::uint64_t>(part - before, centralSize - central.size())));
            at += part;
        }
    }
    if (central.size() != centralSize)
        return damaged;
    std::string directory;
    std::uint64_t count = 0;
    for (std::size_t at = 0; count < entries; ++count) {
        CentralRecord r;
        const std::size_t length = readCentralRecord(central, at, r);
        if (length == 0)
            return damaged;
        const std::uint64_t volume = get(bytes(r.fixed, 34), 2);
        if (volume >= volumes.size())
            return damaged;
        r.volume = 0;
        r.volumeOffset = base[volume] + r.localOffset;
        directory += centralRecordFor(r);
        at += length;
    }
    const std::uint64_t directoryOffset = centralStart;
    const bool zip64 = entries >= Max16 || directory.size() >= Max32 || directoryOffset >= Max32;
    std::string endRecords;
    if (zip64) {
        put(endRecords, Zip64EndSignature, 4);
        put(endRecords, Zip64EndSize - 12, 8);
        put(endRecords, 45, 2);
        put(endRecords, 45, 2);
        put(endRecords, 0, 4);
        put(endRecords, 0, 4);
        put(endRecords, entries, 8);
        put(endRecords, entries, 8);
        put(endRecords, directory.size(), 8);
        put(endRecords, directoryOffset, 8);
        put(endRecords, Zip64LocatorSignature, 4);
        put(endRecords, 0, 4);
        put(endRecords, directoryOffset + directory.size(), 8);
        put(endRecords, 1, 4);
    }
    put(endRecords, EndSignature, 4);
    put(endRecords, 0, 2);
    put(endRecords, 0, 2);
    put(endRecords, std::min<std::uint64_t>(entries, Max16), 2);
    put(endRecords, std::min<std::uint64_t>(entries, Max16), 2);
    put(endRecords, std::min<std::uint64_t>(directory.size(), Max32), 4);
    put(endRecords, std::min<std::uint64_t>(directoryOffset, Max32), 4);
    put(endRecords, comment.size(), 2);
    endRecords += comment;
    if (!out->Write(directory.data(), directory.size(), error) ||
        !out->Write(endRecords.data(), endRecords.size(), error) || !out->SyncAndClose(error))
        return joinedPath + ": " + error;
    return std::nullopt;
}
