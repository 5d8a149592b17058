#pragma once

#include "engine/Leftovers.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

/// The older versions of one file, kept in "Generation.1" (the previous one) to "Generation.G"
/// (the oldest) below the destination, each mirroring its tree. A rotation makes room for a new
/// copy; it is undone when the new copy cannot be put in place, and until it is committed the
/// oldest version is only moved aside, so a failure never costs a version.
class GenerationRotation final
{
public:
    /// journal, when given, is told each rotation before its first move and once it is settled.
    GenerationRotation(FileSystem& fs, std::string destination, std::string sub, int generations,
                       RotationJournal* journal = nullptr);

    /// What failed: the text of the report line ("moving …", "Generation: moving …") and why.
    struct Failure
    {
        std::string text;
        Status status;
    };

    /// Shifts every version one generation older and the current copy into Generation.1, to make
    /// room for newCopy, which the caller then moves in place. On a failure the moves made so far
    /// are undone.
    std::optional<Failure> Rotate(const std::string& newCopy);
    /// Puts every version back where it was.
    void Undo();
    /// The new copy is in place: the oldest version goes for good.
    void Commit();

private:
    std::string generation(int n) const;
    void settle();

    FileSystem& m_fs;
    std::string m_destination;
    std::string m_sub;
    int m_generations;
    RotationJournal* m_journal;
    bool m_journaled = false;                                         // the journal holds this rotation
    std::vector<std::pair<std::string, std::string>> m_moved;         // from, to, in the order done
    std::optional<std::pair<std::string, std::string>> m_oldestAside; // where it was, where it is
};
