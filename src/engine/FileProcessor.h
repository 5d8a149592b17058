#pragma once

#include "engine/RunState.h"
#include "engine/TaskPool.h"

#include <deque>
#include <future>
#include <map>
#include <optional>
#include <set>
#include <unordered_set>

/// Whether a file changed after the reference moment of a run by date (with a margin of two
/// seconds, so a file is rather taken twice than never).
bool ChangedSince(const FileEntry& entry, std::int64_t reference);

/// The name beside target under which its new copy is made before it replaces target.
std::string StagedNameOf(const std::string& target, const std::string& workTag, unsigned number);

/// Carries out the profile's kind of run on one file the walk found: copies (with generations,
/// verification and the archive bit), synchronises, deletes or moves it. Copies run on two
/// threads while the walk goes on; their outcome is taken in the walk's order, so the report,
/// the counters and the archive bits are what one copy after the other would give.
class FileProcessor final
{
public:
    explicit FileProcessor(RunState& state) : m_state(state) {}

    /// rel is the file's path below the current source root; entry what the walk read of it;
    /// again when a second include mask matched the same file in this run; readFrom, for a
    /// followed link, the file it leads to.
    void ProcessFile(const std::string& rel, const FileEntry& entry, bool again = false,
                     const std::string& readFrom = {});

    /// Whether the file counts as changed for an incremental or differential run.
    bool IsSelectedForCopy(const std::string& path, const FileEntry& entry) const;

    /// Waits for every copy still running and records its outcome.
    void Finish();
    /// Notes the metadata of a copied folder (its path below the destination) where the
    /// destination cannot keep it.
    void KeepFolderMetadata(const std::string& sub, const std::string& source, const FileEntry& entry)
    {
        keepMetadata(sub, source, entry);
    }

private:
    struct Copy
    {
        std::string rel;
        std::string sub; // below the destination: the source's prefix and rel
        std::string source;
        std::string target;
        std::string staged; // where the copy is made: the target, or a name beside it
        bool rotate;        // the older versions make room for it
        FileEntry entry;
        std::future<Status> result;
    };

    void copy(const std::string& rel, const FileEntry& entry, bool again, const std::string& readFrom);
    void upload(const std::string& rel, const FileEntry& entry, const std::string& readFrom);
    void finishOldest();
    /// The outcome of a copy or upload; a failure is reported with failedText ("copying " + rel
    /// when empty).
    void recordCopy(const std::string& rel, const std::string& source, const FileEntry& entry, const Status& result,
                    const std::string& failedText = {});
    void synchronise(const std::string& rel, const FileEntry& entry);
    /// For a destination that cannot hold a link or a FIFO: keeps it in the metadata file instead
    /// of copying it, and true.
    bool keptInstead(const std::string& rel, const std::string& sub, const std::string& source, const FileEntry& entry);
    /// Notes what the copy at sub (below the destination) cannot keep itself, where that is so.
    void keepMetadata(const std::string& sub, const std::string& source, const FileEntry& entry);
    void remove(const std::string& rel, const FileEntry& entry);
    void move(const std::string& rel, const FileEntry& entry);
    /// Why the file at sub (below the destination) cannot have generations: its path is that of
    /// a generation folder. Nothing when it can.
    std::optional<Status> generationClash(const std::string& sub) const;
    /// Puts the copy of sub back that the emptied destination held, when no new one took its place.
    void restoreErased(const std::string& sub);
    void waitWhilePaused() const;
    void done(const FileEntry& entry);
    /// The outcome of one file: an error line, or the counters and (with LogAll) doneText; then
    /// the progress.
    void record(const Status& result, const std::string& failedText, const std::string& doneText,
                const FileEntry& entry);

    RunState& m_state;
    std::deque<Copy> m_running;
    std::unordered_set<std::string> m_runningTargets;
    // Files of several names: the copy this run made of each, and those whose copy is under way.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::string> m_copiedInodes;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_runningInodes;
    unsigned m_stagedNumber = 0;
    TaskPool m_copiers{2};
};
