#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <vector>

// What a run leaves behind when it is killed, and how the next run clears it. A run marks the
// names of the files it makes while it works with a tag of its own ("tresorio-" and twelve
// random hex digits): ".name.<tag>-<n>" (a copy under way), ".name.<tag>-new<n>" (a new copy
// waiting to replace the old), ".name.<tag>-old" (the last good copy moved aside for a moment),
// ".name.<tag>-volume" and ".name.<tag>-volumes" (volumes of a split archive), ".<tag>-zip"
// (an archive being built), ".<tag>-erased" (what a destination to be emptied held). Only
// names with the killed run's own tag are touched: a user's file never looks like them.

/// A new tag for a run.
std::string NewWorkTag();

/// What a name of a run's own file is: not one, a file that goes, a copy moved aside that goes
/// back where it was, or the folder of what an emptied destination held, whose files go back
/// where nothing took their place.
enum class WorkName
{
    None,
    Discard,
    MovedAside,
    Erased,
};
WorkName WorkNameOf(const std::string& name, const std::string& tag);

/// Clears what the killed run with tag left in folder (and, with recursive, below it): its
/// files go, and a copy moved aside goes back in its place when nothing took it. The count of
/// names cleared.
int SweepLeftovers(FileSystem& fs, const std::string& folder, bool recursive, const std::string& tag);

/// Moves everything from erased back to the same place below folder where nothing took its
/// place, and removes erased with what is left in it.
void MergeBack(FileSystem& fs, const std::string& erased, const std::string& folder);

/// The note a run keeps in the program's data folder while it works, naming the folders it
/// writes in. One that is still there when the profile runs next belongs to a run that was
/// killed: those folders hold its leftovers.
class RunMarker final
{
public:
    /// No data folder: nothing is noted.
    RunMarker(const std::string& dataFolder, const std::string& profileName);

    /// What the last run of the profile left when it did not end: its tag and the folders it
    /// wrote in; one ending with "/" is to be searched with everything below it, the others
    /// only themselves. No folders when it ended.
    struct Unfinished
    {
        std::string tag;
        std::vector<std::string> folders;
    };
    Unfinished LastRun() const;
    /// The run with tag begins and writes in folders (named as LastRun gives them).
    void Begin(const std::string& tag, const std::vector<std::string>& folders);
    /// The run has ended.
    void End();

private:
    std::string m_file;
};
