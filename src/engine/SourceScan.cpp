#include "engine/SourceScan.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "engine/FileHelpers.h"
#include "engine/FileMasks.h"
#include "engine/ReportLines.h"

#include <algorithm>

namespace {

constexpr std::int32_t HiddenBit = 2;

} // namespace

std::string CommonFolder(const std::string& a, const std::string& b)
{
    // Exactly: here "Musik" and "musik" are two folders, and two sources with such names must
    // not land in one place.
    std::size_t same = 0;
    while (same < a.size() && same < b.size() && a[same] == b[same])
        ++same;
    const std::size_t slash = a.substr(0, same).find_last_of('/');
    return slash == std::string::npos ? std::string() : a.substr(0, slash + 1);
}

std::string SourcePrefixOf(const std::string& source, const std::string& commonFolder, std::size_t sourceCount)
{
    if (sourceCount < 2)
        return {};
    if (!commonFolder.empty() && commonFolder != "/") {
        // The source that is the common folder itself lands directly in the destination.
        const std::string below = source.substr(commonFolder.size());
        return below.empty() ? below : AddSlash(below);
    }
    // Sources with nothing in common but the root land under their whole path.
    std::string prefix = source;
    while (!prefix.empty() && prefix.front() == '/')
        prefix.erase(0, 1);
    return AddSlash(prefix);
}

std::int64_t SourceScan::ScanSources(ScanPass pass)
{
    const TProfile& p = m_state.profile;
    m_exclusions = MaskEntries(p.Exclfiles);
    m_masks = IncludeMasks(p.Addfiles);
    if (!m_state.job.dataFolder.empty() && !m_dataFolder)
        m_dataFolder = IdentityOf(m_state.fs, m_state.job.dataFolder);
    std::int64_t count = 0;

    if (p.Backuptype == BackupSynchronise) {
        if (m_state.sources.size() != 1)
            return 0;
        // The first walk copies to the destination, the second copies back what is newer there.
        const std::string source = m_state.sources.front();
        const std::string destination = m_state.destination;
        if (!reachable(source, pass))
            return 0;
        m_state.sourcePrefix.clear();
        m_state.sourceRoot = source;
        count += scanFolder(source, 1, pass);
        if (!m_state.aborted()) {
            m_state.sourceRoot = destination;
            m_state.destination = source;
            count += scanFolder(destination, 1, pass);
        }
        m_state.destination = destination;
        m_destinationListings.clear();
        return count;
    }

    std::string common;
    if (m_state.sources.size() >= 2) {
        common = m_state.sources.front();
        for (std::size_t i = 1; i < m_state.sources.size() && !common.empty(); ++i)
            common = CommonFolder(common, m_state.sources[i]);
    }
    for (const std::string& source : m_state.sources) {
        if (!reachable(source, pass))
            continue;
        m_state.sourceRoot = source;
        m_state.sourcePrefix = SourcePrefixOf(source, common, m_state.sources.size());
        if (pass == ScanPass::Counting)
            m_state.archive.Prefetch(source);
        m_walk = {{m_roots[source].device, m_roots[source].inode}};
        count += scanFolder(source, 1, pass);
        if (m_state.aborted())
            break;
    }
    return count;
}

bool SourceScan::reachable(const std::string& source, ScanPass pass)
{
    // Told once, in the first pass, whatever the log settings: a source that is not there is
    // never a run without errors.
    const auto entry = m_state.fs.Stat(source);
    if (pass == ScanPass::Counting) {
        if (!entry || !entry->folder) {
            m_unreachable.insert(source);
            m_state.walkComplete = false;
            m_state.errorLine("Quellverzeichnis nicht erreichbar: " + source);
        } else {
            m_roots[source] = *entry;
        }
    }
    if (m_unreachable.count(source) != 0)
        return false;
    return pass == ScanPass::Counting || stillTheSame(source, m_roots[source]);
}

const std::vector<FileEntry>& SourceScan::listing(const std::string& folder, ScanPass pass)
{
    const bool reuse = m_state.profile.Backuptype != BackupSynchronise;
    if (!reuse) {
        FolderListing fresh = m_state.fs.ListFolder(folder);
        if (pass == ScanPass::Counting)
            reportUnreadable(folder, fresh.status);
        m_fresh = std::move(fresh.entries);
        followLinks(folder, m_fresh);
        return m_fresh;
    }
    if (pass == ScanPass::Processing) {
        const auto it = m_listings.find(folder);
        if (it != m_listings.end())
            return it->second;
    }
    FolderListing read;
    const auto ahead = m_ahead.find(folder);
    if (ahead != m_ahead.end()) {
        read = ahead->second.get();
        m_ahead.erase(ahead);
    } else {
        read = m_state.fs.ListFolder(folder);
    }
    if (pass == ScanPass::Counting)
        reportUnreadable(folder, read.status);
    auto& entries = m_listings[folder];
    entries = std::move(read.entries);
    followLinks(folder, entries);
    if (pass == ScanPass::Counting)
        readAhead(folder, entries);
    return entries;
}

void SourceScan::followLinks(const std::string& folder, std::vector<FileEntry>& entries)
{
    // With FollowLinks a backup takes what a link points to, in the link's place; a link that
    // points nowhere (or round in a circle) stays a link, so none is lost without a word.
    const TProfile& p = m_state.profile;
    const bool follows = p.FollowLinks && (p.Backuptype == BackupFull || p.Backuptype == BackupIncremental ||
                                           p.Backuptype == BackupDifferential);
    if (!follows)
        return;
    for (FileEntry& e : entries) {
        if (e.kind != EntryKind::Link)
            continue;
        const std::string path = folder + e.name;
        auto target = m_state.fs.Stat(path);
        if (!target)
            continue;
        if (!target->folder) {
            const auto real = m_state.fs.RealPath(path);
            if (!real)
                continue;
            m_followed[path] = *real;
        }
        target->name = e.name;
        target->hidden = e.hidden;
        e = std::move(*target);
    }
}

void SourceScan::reportUnreadable(const std::string& folder, const Status& status)
{
    // Files that could not be seen are files the backup misses: an error, whatever the log
    // settings say about the lines of single files.
    if (status.ok())
        return;
    m_state.walkComplete = false;
    m_unreadable.insert(folder);
    m_state.errorLine("Verzeichnis nicht lesbar: " + folder + " (" + ResultMessage(status.code, status.message) + ")");
}

void SourceScan::readAhead(const std::string& folder, const std::vector<FileEntry>& entries)
{
    if (!m_state.profile.Withsub)
        return;
    for (const FileEntry& e : entries) {
        if (!entered(folder, e) || leftAsMount(e))
            continue;
        const std::string sub = folder + e.name + "/";
        FileSystem& fs = m_state.fs;
        m_ahead.emplace(sub, m_reader.submit([&fs, sub] { return fs.ListFolder(sub); }));
    }
}

bool SourceScan::entered(const std::string& folder, const FileEntry& entry)
{
    if (!entry.folder || (entry.hidden && !withHidden()) || excludedFolder(folder, entry.name))
        return false;
    // A backup never backs itself up, a move never moves into itself, and no run touches the
    // program's own data: compared by identity, so no link or bind mount leads back in.
    const FileIdentity here{entry.device, entry.inode};
    return here != destinationIdentity() && (!m_dataFolder || here != *m_dataFolder) &&
           folder + entry.name + "/" != m_state.destination;
}

std::optional<std::string> SourceScan::copyOfFolder(const std::string& folder) const
{
    const TProfile& p = m_state.profile;
    const bool copies = p.Backuptype == BackupFull || p.Backuptype == BackupIncremental ||
                        p.Backuptype == BackupDifferential || p.Backuptype == BackupMove ||
                        p.Backuptype == BackupSynchronise;
    if (!copies || p.Compress || m_state.ftp != nullptr ||
        std::find(m_state.sources.begin(), m_state.sources.end(), m_state.sourceRoot) == m_state.sources.end())
        return std::nullopt;
    const std::string relFolder = folder.substr(std::min(folder.size(), m_state.sourceRoot.size()));
    return m_state.destination + m_state.sourcePrefix + relFolder;
}

void SourceScan::openForWriting(const std::string& folder)
{
    // A copy of a folder its owner may not write, made so by the last run after its source, is
    // opened for this run's copies and gets its source's mode back at the end. A destination
    // folder the user closed is left closed: its copies fail and are reported.
    const auto target = copyOfFolder(folder);
    if (!target)
        return;
    const auto there = m_state.fs.Stat(*target);
    if (!there || !there->folder || !there->readOnly)
        return;
    if (const auto source = m_state.fs.Stat(folder); source && source->readOnly)
        m_state.fs.MakeWritable(*target);
}

void SourceScan::keepFolderMetadata(const std::string& folder)
{
    // Once its contents are written, a folder of the copy gets its source's mode, owner,
    // attributes and times: set earlier, the times would change again and a folder its owner may
    // not write could not be filled. The second walk of a synchronisation goes back from the
    // destination and leaves the source's folders as they are.
    const auto target = copyOfFolder(folder);
    if (!target)
        return;
    m_processor.Finish();
    if (const auto there = m_state.fs.Stat(*target); there && there->folder) {
        m_state.fs.CopyFolderMetadata(folder, *target);
        if (const auto source = m_state.fs.Stat(folder); source && m_state.kept != nullptr) {
            // Noted by its path without the "/", the destination's own folder as "".
            std::string sub = target->substr(m_state.destination.size());
            if (!sub.empty())
                sub.pop_back();
            m_processor.KeepFolderMetadata(sub, folder, *source);
        }
    }
}

std::optional<std::string> SourceScan::notKeptHere(const FileEntry& entry) const
{
    const TProfile& p = m_state.profile;
    const bool removes = p.Backuptype == BackupMove || p.Backuptype == BackupDelete;
    const bool special =
        entry.kind == EntryKind::Fifo || entry.kind == EntryKind::Socket || entry.kind == EntryKind::Device;
    if (removes)
        return special ? std::optional<std::string>("") : std::nullopt;
    // A socket belongs to the program that listens on it, a device node to the system. A FIFO is
    // made anew in a folder, and noted for a server; an archive cannot hold one.
    switch (entry.kind) {
    case EntryKind::Socket:
        return "Socket";
    case EntryKind::Device:
        return "Gerätedatei";
    case EntryKind::Fifo:
        return p.Compress ? std::optional<std::string>("FIFO") : std::nullopt;
    default:
        return std::nullopt;
    }
}

bool SourceScan::leftAsMount(const FileEntry& folder) const
{
    // A medium or a folder bind-mounted into the source is another place: a move or deletion of
    // the source never reaches into it.
    const std::uint8_t type = m_state.profile.Backuptype;
    return folder.mountPoint && (type == BackupMove || type == BackupDelete);
}

bool SourceScan::stillTheSame(const std::string& folder, const FileEntry& listed)
{
    // The second pass works on what the first one listed. A folder that was replaced since (by
    // a link to somewhere else, above all) is not followed: a deletion or a move would reach
    // files outside the source.
    const auto now = m_state.fs.Stat(folder);
    if (now && now->folder && now->device == listed.device && now->inode == listed.inode)
        return true;
    // One line a cause: a folder the first pass could not read has been reported.
    if (m_unreadable.count(folder) == 0)
        m_state.errorLine("Ordner " + folder + " wurde während des Laufs ersetzt: übersprungen");
    return false;
}

bool SourceScan::movedIn(const FileEntry& folder) const
{
    // A folder moved into the source brings files whose times all lie before the reference; only
    // the folder's own change time tells, later than its last change of content.
    const TProfile& p = m_state.profile;
    const bool byDate = !p.Archive && (p.Backuptype == BackupIncremental || p.Backuptype == BackupDifferential);
    if (!byDate || m_state.job.referenceTime == NeverRan)
        return false;
    constexpr std::int64_t Second = 1'000'000'000;
    return folder.ctimeNs > (m_state.job.referenceTime - 2) * Second && folder.ctimeNs > folder.mtimeNs + Second;
}

bool SourceScan::withHidden() const
{
    return (m_state.job.attributeMask & HiddenBit) != 0;
}

FileIdentity SourceScan::destinationIdentity()
{
    if (m_identityOf != m_state.destination) {
        m_identityOf = m_state.destination;
        m_destinationIdentity = IdentityOf(m_state.fs, m_state.destination).value_or(FileIdentity{~0ULL, ~0ULL});
    }
    return m_destinationIdentity;
}

const std::vector<FileEntry>& SourceScan::destinationListing(const std::string& folder)
{
    const auto it = m_destinationListings.find(folder);
    if (it != m_destinationListings.end())
        return it->second;
    return m_destinationListings[folder] = m_state.fs.ListFolder(folder).entries;
}

bool SourceScan::excludedFolder(const std::string& folder, const std::string& name) const
{
    // An entry names a subfolder anywhere ("Temp") or one in a given folder ("/data/Temp").
    if (m_exclusions.empty())
        return false;
    const std::string here = folder.substr(0, folder.size() - 1);
    const std::string upperHere = UpperCase(here);
    for (const std::string& entry : m_exclusions) {
        std::string rest = entry;
        if (UpperCase(rest).rfind(upperHere, 0) == 0)
            rest.erase(0, here.size());
        if (!rest.empty() && rest.front() == '/')
            rest.erase(0, 1);
        if (SameText(rest, name))
            return true;
    }
    return false;
}

bool SourceScan::excludedFile(const std::string& name) const
{
    return std::any_of(m_exclusions.begin(), m_exclusions.end(),
                       [&name](const std::string& mask) { return MatchFileMask(name, mask); });
}

bool SourceScan::counts(const std::string& relFolder, const FileEntry& file)
{
    const TProfile& p = m_state.profile;
    switch (p.Backuptype) {
    case BackupFull:
    case BackupDelete:
    case BackupMove:
        return true;
    case BackupIncremental:
    case BackupDifferential:
        return m_processor.IsSelectedForCopy(m_state.sourceRoot + relFolder + file.name, file);
    case BackupSynchronise: {
        const auto& there = destinationListing(m_state.destination + relFolder);
        const auto it = std::find_if(there.begin(), there.end(),
                                     [&file](const FileEntry& e) { return !e.folder && e.name == file.name; });
        return it == there.end() || it->modified < file.modified;
    }
    default:
        return false;
    }
}

std::int64_t SourceScan::scanFolder(const std::string& folder, int level, ScanPass pass)
{
    // On the server, the walk mirrors the source's tree below the start folder.
    // A folder that cannot be entered there is never left upwards either: the walk stays below
    // the start folder, and what belongs in the folder is reported as not uploaded.
    const bool remote = pass == ScanPass::Processing && m_state.ftp != nullptr && level > 1;
    bool entered = false;
    if (remote) {
        m_processor.Finish();
        if (m_state.remoteFoldersMissed == 0) {
            const std::string trimmed = folder.substr(0, folder.size() - 1);
            std::string reason;
            entered = m_state.ftp->EnterFolder(trimmed.substr(trimmed.find_last_of('/') + 1), reason);
            if (!entered)
                m_state.errorLine("FTP-Verzeichnis nicht erreichbar: " +
                                  folder.substr(std::min(folder.size(), m_state.sourceRoot.size())) + " (" + reason +
                                  ")");
        }
        if (!entered)
            ++m_state.remoteFoldersMissed;
    }
    const std::int64_t count = scanFolderContent(folder, level, pass);
    if (remote) {
        m_processor.Finish();
        if (entered)
            m_state.ftp->LeaveFolder();
        else
            --m_state.remoteFoldersMissed;
    }
    return count;
}

std::int64_t SourceScan::scanFolderContent(const std::string& folder, int level, ScanPass pass)
{
    const TProfile& p = m_state.profile;
    if (pass == ScanPass::Counting)
        m_state.observer.ShowScanStatus(ScanPhase::Searching, LowerCaseAscii(folder));
    else
        openForWriting(folder);
    const std::vector<FileEntry>& entries = listing(folder, pass);
    std::int64_t count = 0;

    if (p.Withsub) {
        // Collect first: the listing of a synchronisation walk is replaced by the subfolder's.
        std::vector<FileEntry> subfolders;
        for (const FileEntry& e : entries) {
            if (!entered(folder, e))
                continue;
            if (leftAsMount(e)) {
                if (pass == ScanPass::Counting)
                    m_state.errorLine("Ordner " + folder + e.name + "/ ist ein eingehängtes Dateisystem: " +
                                      "nichts darin wird verschoben oder gelöscht");
                continue;
            }
            // A followed link or a bind mount that leads back to a folder above is walked once.
            const FileIdentity identity{e.device, e.inode};
            if (std::find(m_walk.begin(), m_walk.end(), identity) != m_walk.end()) {
                if (pass == ScanPass::Counting)
                    m_state.addLine("Hinweis: " + folder + e.name +
                                    "/ führt im Kreis zurück und wird nicht noch "
                                    "einmal gesichert");
                continue;
            }
            subfolders.push_back(e);
        }
        std::vector<FileEntry> files;
        if (p.Backuptype == BackupSynchronise)
            std::copy_if(entries.begin(), entries.end(), std::back_inserter(files),
                         [](const FileEntry& e) { return !e.folder; });
        for (const FileEntry& sub : subfolders) {
            const std::string path = folder + sub.name + "/";
            if (pass == ScanPass::Processing && !stillTheSame(path, sub))
                continue;
            const bool moved = movedIn(sub);
            m_state.movedFolders += moved ? 1 : 0;
            m_walk.push_back({sub.device, sub.inode});
            count += scanFolder(path, level + 1, pass);
            m_walk.pop_back();
            m_state.movedFolders -= moved ? 1 : 0;
            if (m_state.aborted())
                return count;
        }
        if (p.Backuptype == BackupSynchronise) {
            count += scanFiles(folder, files, pass);
            if (pass == ScanPass::Processing)
                keepFolderMetadata(folder);
            return count;
        }
    }
    count += scanFiles(folder, entries, pass);
    if (pass == ScanPass::Processing)
        keepFolderMetadata(folder);
    // A compressing run walks once: nothing replays this listing.
    if (p.Compress && pass == ScanPass::Counting)
        m_listings.erase(folder);
    return count;
}

std::int64_t SourceScan::scanFiles(const std::string& folder, const std::vector<FileEntry>& entries, ScanPass pass)
{
    const TProfile& p = m_state.profile;
    const std::string relFolder = folder.substr(std::min(folder.size(), m_state.sourceRoot.size()));
    if (pass == ScanPass::Processing) {
        // The copies of the previous folder end before this folder's lines begin.
        m_processor.Finish();
        m_state.observer.ShowScanStatus(ScanPhase::Processing, LowerCaseAscii(folder));
        if (m_state.job.logProfile && !m_state.job.logAll)
            m_state.addLine(folder);
        if (p.Withempty && p.Backuptype != BackupDelete && !p.FTP)
            ForceDestination(m_state.fs, m_state.destination + m_state.sourcePrefix + relFolder);
        ++m_state.stats.foldersScanned;
    }
    std::int64_t count = 0;
    const bool hiddenToo = withHidden();
    // A file that a second mask matches is handed on again, and knows it.
    std::unordered_set<std::string> taken;
    for (const std::string& mask : m_masks) {
        if (m_state.aborted())
            break;
        for (const FileEntry& file : entries) {
            if (m_state.aborted())
                break;
            if (file.folder || (file.hidden && !hiddenToo) || !MatchesSearchMask(file.name, mask))
                continue;
            if (excludedFile(file.name))
                continue;
            // The metadata file of a destination is no file of the source's to synchronise back.
            if (relFolder.empty() && file.name == KeptMetadata::FileName &&
                std::find(m_state.sources.begin(), m_state.sources.end(), m_state.sourceRoot) == m_state.sources.end())
                continue;
            if (const auto notKept = notKeptHere(file)) {
                // Told once, in the first pass; never an error: nothing of the user's data is
                // missing. A move or deletion leaves such entries alone without a word.
                if (pass == ScanPass::Counting && !notKept->empty() && taken.insert(file.name).second)
                    m_state.addLine("nicht gesichert: " + *notKept + " " + folder + file.name);
                continue;
            }
            if (pass == ScanPass::Counting && counts(relFolder, file))
                ++count;
            if (pass == ScanPass::Processing || p.Compress) {
                ++m_state.stats.filesScanned;
                const bool again = m_masks.size() > 1 && !taken.insert(file.name).second;
                const auto followed = m_followed.find(folder + file.name);
                m_processor.ProcessFile(relFolder + file.name, file, again,
                                        followed == m_followed.end() ? std::string() : followed->second);
            }
        }
    }
    return count;
}
