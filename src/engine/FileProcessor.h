#pragma once

#include "engine/RunState.h"

/// Carries out the profile's kind of run on one file the walk found: copies (with generations,
/// verification and the archive bit), synchronises, deletes or moves it.
class FileProcessor final
{
public:
    explicit FileProcessor(RunState& state) : m_state(state) {}

    /// rel is the file's path below the current source root; entry what the walk read of it.
    void ProcessFile(const std::string& rel, const FileEntry& entry);

    /// Whether the file counts as changed for an incremental or differential run.
    bool IsSelectedForCopy(const std::string& path, const FileEntry& entry) const;

private:
    void copy(const std::string& rel, const FileEntry& entry);
    void synchronise(const std::string& rel, const FileEntry& entry);
    void remove(const std::string& rel, const FileEntry& entry);
    void move(const std::string& rel, const FileEntry& entry);
    void rotateGenerations(const std::string& sub);
    void waitWhilePaused() const;
    void done(const FileEntry& entry);

    RunState& m_state;
};
