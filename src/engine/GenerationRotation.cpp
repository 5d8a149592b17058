#include "engine/GenerationRotation.h"

#include "engine/FileHelpers.h"

GenerationRotation::GenerationRotation(FileSystem& fs, std::string destination, std::string sub, int generations,
                                       RotationJournal* journal)
    : m_fs(fs), m_destination(std::move(destination)), m_sub(std::move(sub)), m_generations(generations),
      m_journal(journal)
{
}

std::string GenerationRotation::generation(int n) const
{
    return m_destination + "Generation." + std::to_string(n) + "/" + m_sub;
}

std::optional<GenerationRotation::Failure> GenerationRotation::Rotate(const std::string& newCopy)
{
    auto exists = [this](const std::string& path) { return m_fs.Stat(path).has_value(); };
    // The moves are known before the first is made, and noted: a run killed half way is undone
    // by the next one, so no version is lost and none is left out of order.
    const std::string current = m_destination + m_sub;
    RotationMoves plan;
    const std::string oldest = generation(m_generations);
    if (exists(oldest))
        plan.emplace_back(oldest, BesideName(oldest, m_fs.WorkTag() + "-old"));
    for (int n = m_generations - 1; n >= 1; --n)
        if (exists(generation(n)))
            plan.emplace_back(generation(n), generation(n + 1));
    if (exists(current))
        plan.emplace_back(current, generation(1));
    if (plan.empty())
        return std::nullopt;
    if (m_journal != nullptr) {
        RotationMoves noted = plan;
        noted.emplace_back(newCopy, current);
        m_journal->RotationBegins(noted);
        m_journaled = true;
    }
    for (const auto& [from, to] : plan) {
        // The oldest version is only moved aside until the new copy is in place.
        const bool aside = from == oldest;
        if (aside)
            m_fs.MakeWritable(from);
        // A version that cannot move must not be overwritten by the one after it: the rotation
        // stops, is undone, and the new copy waits for a run where it works.
        const Status moved = aside ? m_fs.MoveFile(from, to) : MoveFileRetry(m_fs, from, to);
        if (!moved.ok()) {
            const std::string text = from == current ? "Generation: moving " + from : "moving " + from;
            Undo();
            return Failure{text, moved};
        }
        if (aside)
            m_oldestAside.emplace(from, to);
        else
            m_moved.emplace_back(from, to);
    }
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
    settle();
}

void GenerationRotation::Commit()
{
    // Settled before the oldest version goes: a run killed in between finds it beside a
    // version in its place, and the sweep clears it as the leftover it is.
    settle();
    if (m_oldestAside)
        m_fs.DeleteFile(m_oldestAside->second);
    m_oldestAside.reset();
    m_moved.clear();
}

void GenerationRotation::settle()
{
    if (m_journaled)
        m_journal->RotationSettled();
    m_journaled = false;
}
