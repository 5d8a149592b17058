#include "engine/Leftovers.h"

#include "base/Text.h"
#include "engine/FileHelpers.h"
#include "engine/ZipVolumes.h"
#include "platform/AtomicFile.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

bool digits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The name a copy moved aside had: ".name.<tag>-old" gives "name". Nothing when the name was cut
// to make room for the tag (it cannot be told).
std::optional<std::string> nameBeforeAside(const std::string& name, const std::string& tag)
{
    const std::string inner = name.substr(1, name.size() - 1 - (tag.size() + 5));
    if (inner.size() >= 200)
        return std::nullopt;
    return inner;
}

// FNV-1a: the same number for the same name in every build.
std::string hashOf(const std::string& text)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(hash));
    return buffer;
}

} // namespace

std::string NewWorkTag()
{
    std::random_device random;
    const std::uint64_t value = (static_cast<std::uint64_t>(random()) << 32) ^ random();
    char buffer[13];
    std::snprintf(buffer, sizeof buffer, "%012llx", static_cast<unsigned long long>(value & 0xFFFFFFFFFFFFULL));
    return std::string("tresorio-") + buffer;
}

WorkName WorkNameOf(const std::string& name, const std::string& tag)
{
    if (tag.empty() || name.empty() || name.front() != '.')
        return WorkName::None;
    if (name == "." + tag + "-zip")
        return WorkName::Discard;
    if (name == "." + tag + "-erased")
        return WorkName::Erased;
    const std::string mark = "." + tag + "-";
    // A file made to try what the destination can keep.
    if (name.rfind(mark + "probe", 0) == 0 && digits(std::string_view(name).substr(mark.size() + 5)))
        return WorkName::Discard;
    const std::size_t at = name.rfind(mark);
    if (at == std::string::npos || at < 2)
        return WorkName::None;
    const std::string_view kind = std::string_view(name).substr(at + mark.size());
    if (kind == "old")
        return WorkName::MovedAside;
    if (kind == "volume" || kind == "volumes" || digits(kind) || (kind.substr(0, 3) == "new" && digits(kind.substr(3))))
        return WorkName::Discard;
    if (kind.substr(0, 6) == "commit" && digits(kind.substr(6)))
        return WorkName::CompleteSet;
    return WorkName::None;
}

void MergeBack(FileSystem& fs, const std::string& erased, const std::string& folder)
{
    const std::string from = AddSlash(erased);
    const std::string to = AddSlash(folder);
    for (const FileEntry& entry : fs.ListFolder(from).entries) {
        const auto there = fs.Stat(to + entry.name);
        if (entry.folder && there && there->folder)
            MergeBack(fs, from + entry.name, to + entry.name);
        else if (!there)
            fs.MoveFile(from + entry.name, to + entry.name);
    }
    EraseFolderContents(fs, from);
    fs.RemoveFolder(erased);
}

int SweepLeftovers(FileSystem& fs, const std::string& folder, bool recursive, const std::string& tag)
{
    int cleared = 0;
    const std::string here = AddSlash(folder);
    for (const FileEntry& entry : fs.ListFolder(here).entries) {
        const std::string path = here + entry.name;
        switch (WorkNameOf(entry.name, tag)) {
        case WorkName::Discard:
            if (entry.folder) {
                EraseFolderContents(fs, path + "/");
                fs.RemoveFolder(path);
            } else {
                fs.DeleteFile(path);
            }
            ++cleared;
            break;
        case WorkName::MovedAside: {
            // The last good copy: it goes back unless a new one took its place meanwhile.
            const auto original = nameBeforeAside(entry.name, tag);
            if (!original || entry.folder)
                break;
            if (fs.Stat(here + *original))
                fs.DeleteFile(path);
            else
                fs.MoveFile(path, here + *original);
            ++cleared;
            break;
        }
        case WorkName::CompleteSet: {
            // A complete new set of volumes was taking the old one's place: it finishes doing so.
            const std::size_t at = entry.name.rfind("." + tag + "-commit");
            const int count = std::atoi(entry.name.c_str() + at + tag.size() + 8);
            std::string reason;
            if (entry.folder && count > 0)
                CommitVolumeSet(here, entry.name.substr(1, at - 1), path + "/", count, reason);
            ++cleared;
            break;
        }
        case WorkName::Erased:
            // The run was killed before it had made its copies: the old ones come back where
            // no new one took their place.
            MergeBack(fs, path, here);
            ++cleared;
            break;
        case WorkName::None:
            if (entry.folder && recursive)
                cleared += SweepLeftovers(fs, path, true, tag);
            break;
        }
    }
    return cleared;
}

int UndoRotation(FileSystem& fs, const RotationMoves& moves)
{
    int undone = 0;
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        const auto& [from, to] = *it;
        if (!fs.Stat(to) || fs.Stat(from))
            continue;
        ForceDestination(fs, FolderOf(from));
        if (fs.MoveFile(to, from).ok())
            ++undone;
    }
    return undone;
}

int ClearLeftovers(FileSystem& fs, std::vector<RunMarker::Unfinished>& pending,
                   const std::function<bool(const MarkedFolder&)>& present)
{
    int cleared = 0;
    for (RunMarker::Unfinished& run : pending) {
        // The rotations happened in the destination, the first folder; they are undone before
        // the sweep, which would take a version moved aside for one already there.
        if (!run.folders.empty() && present(run.folders.front())) {
            for (auto it = run.rotations.rbegin(); it != run.rotations.rend(); ++it)
                cleared += UndoRotation(fs, *it);
            run.rotations.clear();
        }
        std::vector<MarkedFolder> waiting;
        for (const MarkedFolder& folder : run.folders) {
            if (!present(folder)) {
                waiting.push_back(folder);
                continue;
            }
            cleared += SweepLeftovers(fs, folder.path, folder.path.back() == '/', run.tag);
        }
        run.folders = std::move(waiting);
    }
    std::erase_if(pending, [](const RunMarker::Unfinished& run) { return run.folders.empty(); });
    return cleared;
}

namespace {

std::pair<std::string, std::string> fields(std::string_view line)
{
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
        return {UnescapeField(line), {}};
    return {UnescapeField(line.substr(0, tab)), std::string(line.substr(tab + 1))};
}

std::string movesText(const RotationMoves& moves)
{
    std::string text = "R\n";
    for (const auto& [from, to] : moves)
        text += "M " + EscapeField(from) + "\t" + EscapeField(to) + "\n";
    return text;
}

std::string readWhole(const std::string& file)
{
    std::string error;
    const auto raw = RawFile::Open(file, RawFile::Mode::Read, error);
    if (!raw)
        return {};
    std::string content(raw->Size(), '\0');
    const std::int64_t n = raw->Read(content.data(), content.size(), error);
    content.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return content;
}

// A profile whose leftovers wait on media that never come back keeps only its newest runs.
constexpr std::size_t MaxPendingRuns = 20;

} // namespace

RunMarker::RunMarker(const std::string& dataFolder, const std::string& profileName)
{
    if (!dataFolder.empty()) {
        m_file = AddSlash(dataFolder) + ".tresorio-lauf-" + hashOf(profileName);
        m_journal = m_file + "-versionen";
    }
}

std::vector<RunMarker::Unfinished> RunMarker::Pending() const
{
    std::vector<Unfinished> runs;
    if (m_file.empty())
        return runs;
    // Lines: a run's tag, then its folders ("/path<TAB>file system"), the moves of each rotation
    // it had begun and not settled ("R", then "M from<TAB>to"). The journal holds the tag of
    // the run and the rotation under way.
    auto parse = [&runs](const std::string& content, bool journal) {
        Unfinished* run = nullptr;
        for (const std::string& line : SplitLines(content)) {
            if (line.rfind("tresorio-", 0) == 0) {
                const auto same =
                    std::find_if(runs.begin(), runs.end(), [&line](const Unfinished& r) { return r.tag == line; });
                if (journal && same != runs.end()) {
                    run = &*same;
                } else if (journal) {
                    return; // its run has been cleared
                } else {
                    runs.push_back({line, {}, {}});
                    run = &runs.back();
                }
                if (journal)
                    run->rotations.emplace_back();
            } else if (run == nullptr) {
                continue;
            } else if (line == "R" && !journal) {
                run->rotations.emplace_back();
            } else if (line.rfind("M ", 0) == 0 && !run->rotations.empty()) {
                run->rotations.back().push_back(fields(std::string_view(line).substr(2)));
            } else if (!line.empty() && line.front() == '/' && !journal) {
                auto [path, fileSystem] = fields(line);
                run->folders.push_back({std::move(path), std::move(fileSystem)});
            }
        }
        // The journal's rotation is one the note may hold already (killed between the two).
        if (journal && run != nullptr && run->rotations.size() >= 2 &&
            run->rotations.back() == run->rotations[run->rotations.size() - 2])
            run->rotations.pop_back();
        if (run != nullptr && !run->rotations.empty() && run->rotations.back().empty())
            run->rotations.pop_back();
    };
    parse(readWhole(m_file), false);
    parse(readWhole(m_journal), true);
    return runs;
}

std::string RunNoteFailureLine(const std::string& reason)
{
    return "Hinweis: Die Laufnotiz im Datenordner kann nicht geschrieben werden (" + reason +
           "); was ein Abbruch hinterließe, räumt kein späterer Lauf weg";
}

std::optional<std::string> RunMarker::write(const std::vector<Unfinished>& runs) const
{
    std::string content;
    for (const Unfinished& run : runs) {
        content += run.tag + "\n";
        for (const MarkedFolder& folder : run.folders)
            content += EscapeField(folder.path) + "\t" + folder.fileSystem + "\n";
        for (const RotationMoves& moves : run.rotations)
            content += movesText(moves);
    }
    return WriteFileAtomically(m_file, content, true);
}

std::optional<std::string> RunMarker::Begin(const std::string& tag, const std::vector<MarkedFolder>& folders,
                                            std::vector<Unfinished> pending)
{
    if (m_file.empty())
        return std::nullopt;
    if (pending.size() > MaxPendingRuns)
        pending.erase(pending.begin(), pending.end() - MaxPendingRuns);
    m_tag = tag;
    m_pending = std::move(pending);
    std::vector<Unfinished> runs = m_pending;
    runs.push_back({tag, folders, {}});
    const std::optional<std::string> failure = write(runs);
    // The note holds the earlier rotations now: the journal is this run's.
    std::string error;
    m_journalFile = RawFile::Open(m_journal, RawFile::Mode::Create, error);
    if (failure)
        return failure;
    if (!m_journalFile)
        return error;
    return std::nullopt;
}

void RunMarker::End()
{
    if (m_file.empty())
        return;
    m_journalFile.reset();
    std::error_code ignored;
    std::filesystem::remove(m_journal, ignored);
    if (m_pending.empty())
        std::filesystem::remove(m_file, ignored);
    else
        write(m_pending);
}

void RunMarker::RotationBegins(const RotationMoves& moves)
{
    // Rewritten for every rotation, never synced: a kill loses nothing the system has been
    // handed, and only one rotation is under way at a time. Emptied first, so that a kill
    // half way through the write leaves no rotation rather than a mixed one.
    if (!m_journalFile)
        return;
    const std::string text = m_tag + "\n" + movesText(moves);
    std::string error;
    m_journalFile->Truncate(0, error);
    m_journalFile->WriteAt(0, text.data(), text.size(), error);
}

void RunMarker::RotationSettled()
{
    std::string error;
    if (m_journalFile)
        m_journalFile->Truncate(0, error);
}
