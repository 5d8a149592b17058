#pragma once

#include "platform/FileSystem.h"
#include "platform/RawFile.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What a run leaves behind when it is killed, and how the next run clears it. A run marks the
// names of the files it makes while it works with a tag of its own ("tresorio-" and twelve
// random hex digits): ".name.<tag>-<n>" (a copy under way), ".name.<tag>-new<n>" (a new copy
// waiting to replace the old), ".name.<tag>-old" (the last good copy moved aside for a moment),
// ".name.<tag>-volume" and ".name.<tag>-volumes" (volumes of a split archive),
// ".name.<tag>-commit<n>" (a complete new set of n volumes about to take the old one's place), ".<tag>-zip"
// (an archive being built), ".<tag>-erased" (what a destination to be emptied held). Only
// names with the killed run's own tag are touched: a user's file never looks like them.

/// A new tag for a run.
std::string NewWorkTag();

/// What a name of a run's own file is: not one, a file that goes, a copy moved aside that goes
/// back where it was, the folder of what an emptied destination held, whose files go back
/// where nothing took their place, or a complete set of volumes whose commit is finished.
enum class WorkName
{
    None,
    Discard,
    MovedAside,
    Erased,
    CompleteSet,
};
WorkName WorkNameOf(const std::string& name, const std::string& tag);

/// Clears what the killed run with tag left in folder (and, with recursive, below it): its
/// files go, and a copy moved aside goes back in its place when nothing took it. The count of
/// names cleared.
int SweepLeftovers(FileSystem& fs, const std::string& folder, bool recursive, const std::string& tag);

/// Moves everything from erased back to the same place below folder where nothing took its
/// place, and removes erased with what is left in it.
void MergeBack(FileSystem& fs, const std::string& erased, const std::string& folder);

/// One folder a run writes in, and the file system it lies on.
struct MarkedFolder
{
    std::string path;       // ending with "/": searched with everything below it; else only itself
    std::string fileSystem; // the identity of its file system (VolumeInfo); empty: not known

    bool operator==(const MarkedFolder&) const = default;
};

/// The moves of one rotation of older versions, in the order they are made: from, to. The last
/// puts the new copy in place.
using RotationMoves = std::vector<std::pair<std::string, std::string>>;

/// Where a run notes the moves of a rotation before it makes them, so that the next run can
/// undo one that a kill cut short.
class RotationJournal
{
public:
    virtual ~RotationJournal() = default;
    /// The rotation is about to make these moves.
    virtual void RotationBegins(const RotationMoves& moves) = 0;
    /// The rotation is over: committed, or undone.
    virtual void RotationSettled() = 0;
};

/// Puts back what the moves of a rotation that never settled did, the last first: each version
/// goes back where it was when nothing has taken that place since (the new copy put in place
/// goes back to its staged name, which the sweep then clears). The count of moves undone.
int UndoRotation(FileSystem& fs, const RotationMoves& moves);

/// The report's line when the run's note cannot be written (reason).
std::string RunNoteFailureLine(const std::string& reason);

/// The note a run keeps in the program's data folder while it works, naming the folders it
/// writes in and the file systems they lie on. One that is still there when the profile runs
/// next belongs to a run that was killed: those folders hold its leftovers. The note keeps a
/// killed run until its leftovers are cleared on the medium they are on, so a profile whose
/// media are used in turn clears each when it comes back.
class RunMarker final : public RotationJournal
{
public:
    /// No data folder: nothing is noted.
    RunMarker(const std::string& dataFolder, const std::string& profileName);

    /// A run of the profile that did not end, and what of it is still to be cleared: the
    /// folders it wrote in, and the rotations it had begun and not settled.
    struct Unfinished
    {
        std::string tag;
        std::vector<MarkedFolder> folders;
        std::vector<RotationMoves> rotations;

        bool operator==(const Unfinished&) const = default;
    };
    /// Every earlier run whose leftovers are not all cleared, oldest first.
    std::vector<Unfinished> Pending() const;
    /// The run with tag begins and writes in folders; the note keeps pending (what earlier runs
    /// left that is still to be cleared) besides.
    /// The reason when the note or the journal could not be written: a kill of this run would
    /// then leave what no later run clears.
    std::optional<std::string> Begin(const std::string& tag, const std::vector<MarkedFolder>& folders,
                                     std::vector<Unfinished> pending);
    /// The run has ended: only what is still pending stays noted.
    void End();
    /// Where the profile keeps the metadata of what it stores on an FTP server, which is sent
    /// to the server whole with each run; empty without a data folder.
    std::string ServerMetadataFile() const { return m_file.empty() ? std::string() : m_file + "-server-metadaten"; }

    void RotationBegins(const RotationMoves& moves) override;
    void RotationSettled() override;

private:
    std::optional<std::string> write(const std::vector<Unfinished>& runs) const;

    std::string m_file;    // the note
    std::string m_journal; // the rotation under way, rewritten for each one
    std::string m_tag;
    std::vector<Unfinished> m_pending;
    std::unique_ptr<RawFile> m_journalFile;
};

/// Clears what the pending runs left wherever its medium is here (present says so of a folder):
/// the rotations a run had not settled are undone in its first folder, its destination, then
/// the folders are swept. What waits for a medium that is not here stays in pending, everything
/// else goes from it. The count of names cleared.
int ClearLeftovers(FileSystem& fs, std::vector<RunMarker::Unfinished>& pending,
                   const std::function<bool(const MarkedFolder&)>& present);
