#include "engine/GenerationRotation.h"

#include "engine/FileHelpers.h"

GenerationRotation::GenerationRotation(FileSystem& fs, std::string destination, std::string sub, int generations)
    : m_fs(fs), m_destination(std::move(destination)), m_sub(std::move(sub)), m_generations(generations)
{
}

std::string GenerationRotation::generation(int n) const
{
    return m_destination + "Generation." + std::to_string(n) + "/" + m_sub;
}

std::optional<GenerationRotation::Failure> GenerationRotation::Rotate()
{
    auto exists = [this](const std::string& path) { return m_fs.Stat(path).has_value(); };
    // A version that cannot move must not be overwritten by the one after it: the rotation
    // stops, is undone, and the new copy waits for a run where it works.
    auto move = [this](const std::string& from, const std::string& to, const std::string& text) {
        const Status moved = MoveFileRetry(m_fs, from, to);
        if (moved.ok()) {
            m_moved.emplace_back(from, to);
            return std::optional<Failure>();
        }
        Undo();
        return std::optional<Failure>(Failure{text, moved});
    };
    const std::string oldest = generation(m_generations);
    if (exists(oldest)) {
        m_fs.MakeWritable(oldest);
        const std::string aside = BesideName(oldest, m_fs.WorkTag() + "-old");
        const Status moved = m_fs.MoveFile(oldest, aside);
        if (!moved.ok())
            return Failure{"moving " + oldest, moved};
        m_oldestAside.emplace(oldest, aside);
    }
    for (int n = m_generations - 1; n >= 1; --n)
        if (exists(generation(n)))
            if (auto failure = move(generation(n), generation(n + 1), "moving " + generation(n)))
                return failure;
    if (exists(m_destination + m_sub))
        if (auto failure = move(m_destination + m_sub, generation(1), "Generation: moving " + m_destination + m_sub))
            return failure;
    return std::nullopt;
}

void GenerationRotation::Undo()
{
    for (auto it = m_moved.rbegin(); it != m_moved.rend(); ++it)
        m_fs.MoveFile(it->second, it->first);
    m_moved.clear();
    if (m_oldestAside)
        m_fs.MoveFile(m_oldestAside->second, m_oldestAside->first);
    m_oldestAside.reset();
}

void GenerationRotation::Commit()
{
    if (m_oldestAside)
        m_fs.DeleteFile(m_oldestAside->second);
    m_oldestAside.reset();
    m_moved.clear();
}
