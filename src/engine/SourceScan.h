#pragma once

#include "engine/FileHelpers.h"
#include "engine/FileProcessor.h"
#include "engine/RunState.h"
#include "engine/TaskPool.h"

#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

enum class ScanPass
{
    Counting,
    Processing,
};

/// The folder two paths share: their common beginning (compared exactly, as the file system
/// compares names) up to and including its last "/"; empty when they share none.
std::string CommonFolder(const std::string& a, const std::string& b);

/// Where a source lands below the destination: nothing for a single source, else its path
/// below the sources' common folder (or its whole path without the leading "/").
std::string SourcePrefixOf(const std::string& source, const std::string& commonFolder, std::size_t sourceCount);

/// The walk over a run's sources. The counting pass reads every folder once; the processing
/// pass walks the same listings again without touching the disk, so a run lists each folder and
/// reads each file's state once (synchronisation lists again: its first walk changes the second).
class SourceScan final
{
public:
    SourceScan(RunState& state, FileProcessor& processor) : m_state(state), m_processor(processor) {}

    /// Walks all sources; gives the number of counted files.
    std::int64_t ScanSources(ScanPass pass);

private:
    std::int64_t scanFolder(const std::string& folder, int level, ScanPass pass);
    std::int64_t scanFolderContent(const std::string& folder, int level, ScanPass pass);
    std::int64_t scanFiles(const std::string& folder, const std::vector<FileEntry>& entries, ScanPass pass);
    bool excludedFolder(const std::string& folder, const std::string& name) const;
    bool excludedFile(const std::string& name) const;
    bool counts(const std::string& relFolder, const FileEntry& file);
    const std::vector<FileEntry>& listing(const std::string& folder, ScanPass pass);
    const std::vector<FileEntry>& destinationListing(const std::string& folder);
    bool entered(const std::string& folder, const FileEntry& entry);
    /// Where the copy of a source folder lies, for the runs that copy folders as they are.
    std::optional<std::string> copyOfFolder(const std::string& folder) const;
    void openForWriting(const std::string& folder);
    /// Gives the copy of folder its metadata, once its contents are written.
    void keepFolderMetadata(const std::string& folder);
    /// Whether a subfolder the walk would enter is another mount that this run must not touch.
    bool leftAsMount(const FileEntry& folder) const;
    void readAhead(const std::string& folder, const std::vector<FileEntry>& entries);
    /// Whether a source can be walked; the first pass reports one that cannot.
    bool reachable(const std::string& source, ScanPass pass);
    void reportUnreadable(const std::string& folder, const Status& status);
    /// With FollowLinks, puts in the place of each link that leads somewhere what it leads to.
    void followLinks(const std::string& folder, std::vector<FileEntry>& entries);
    /// What kind of entry this run cannot keep, for its report line ("Gerätedatei"); empty when
    /// it is left alone without a line; nothing when the run keeps it.
    std::optional<std::string> notKeptHere(const FileEntry& entry) const;
    bool withHidden() const;
    /// Whether folder is still the folder the first pass listed; reports it when not.
    bool stillTheSame(const std::string& folder, const FileEntry& listed);
    /// Whether a run by date takes everything below folder: it was moved into the source.
    bool movedIn(const FileEntry& folder) const;
    FileIdentity destinationIdentity();

    RunState& m_state;
    FileProcessor& m_processor;
    std::vector<std::string> m_exclusions;
    std::vector<std::string> m_masks;
    std::unordered_map<std::string, std::vector<FileEntry>> m_listings;
    std::unordered_map<std::string, std::vector<FileEntry>> m_destinationListings;
    std::vector<FileEntry> m_fresh;
    // Listings of the folders the walk enters next, read while it looks at the current one.
    std::unordered_map<std::string, std::future<FolderListing>> m_ahead;
    std::unordered_set<std::string> m_unreachable;           // sources the first pass did not find
    std::unordered_set<std::string> m_unreadable;            // folders the first pass reported unreadable
    std::unordered_map<std::string, std::string> m_followed; // followed links to files: where they lead
    std::vector<FileIdentity> m_walk;                        // the folders from the source down to the walk
    std::unordered_map<std::string, FileEntry> m_roots;      // the sources as the first pass found them
    std::string m_identityOf;                                // the destination m_destinationIdentity belongs to
    FileIdentity m_destinationIdentity;
    std::optional<FileIdentity> m_dataFolder;
    TaskPool m_reader{2};
};
