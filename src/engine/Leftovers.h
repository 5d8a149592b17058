#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <vector>

// What a run leaves behind when it is killed, and how the next run clears it. A run gives its
// own files names nobody else uses: ".name.tresorio-<pid>-<n>" (a copy under way),
// ".name.tresorio-new-<n>" (a new copy waiting to replace the old), ".name.tresorio-old" (the
// last good copy moved aside for a moment), ".name.tresorio-volume" and
// ".name.tresorio-volumes" (volumes of a split archive), ".tresorio-zip-<n>" (an archive
// being built).

/// What a name of a run's own file is: not one, a file that goes, or a copy moved aside that
/// goes back where it was.
enum class WorkName
{
    None,
    Discard,
    MovedAside,
};
WorkName WorkNameOf(const std::string& name);

/// Clears what a killed run left in folder (and, with recursive, below it): its files go, and a
/// copy moved aside goes back in its place when nothing took it. The count of names cleared.
int SweepLeftovers(FileSystem& fs, const std::string& folder, bool recursive);

/// The note a run keeps in the program's data folder while it works, naming the folders it
/// writes in. One that is still there when the profile runs next belongs to a run that was
/// killed: those folders hold its leftovers.
class RunMarker final
{
public:
    /// No data folder: nothing is noted.
    RunMarker(const std::string& dataFolder, const std::string& profileName);

    /// The folders of the last run of the profile when it did not end; one ending with "/" is
    /// to be searched with everything below it, the others only themselves.
    std::vector<std::string> Unfinished() const;
    /// The run begins and writes in folders (named as Unfinished gives them).
    void Begin(const std::vector<std::string>& folders);
    /// The run has ended.
    void End();

private:
    std::string m_file;
};
