#include "log/LogFile.h"

#include "base/Text.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace {

constexpr const char* ReportRule = "=======";
constexpr const char* ProfileLabel = "Profil                : ";
// Where a report begins in the file: the end of a line, its rule, and its "Profil" line.
const std::string ReportStart =
    "\r\n============================================================\r\nProfil                : ";
constexpr std::size_t Chunk = std::size_t{1} << 20;

std::int64_t sizeOf(const std::string& line)
{
    return static_cast<std::int64_t>(line.size()) + 2; // with CR LF
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// The offsets of the rule lines of the reports that begin in [from, to), found a chunk at a
// time: memory stays the same however long the log or any of its lines is.
std::vector<std::uint64_t> reportStartsIn(const RawFile& file, std::uint64_t from, std::uint64_t to)
{
    std::vector<std::uint64_t> starts;
    std::string buffer(Chunk + ReportStart.size(), '\0');
    std::string error;
    for (std::uint64_t at = from; at < to; at += Chunk) {
        const std::int64_t n = file.ReadAt(at, buffer.data(), buffer.size(), error);
        if (n <= 0)
            break;
        const std::string_view seen(buffer.data(), static_cast<std::size_t>(n));
        for (std::size_t i = seen.find(ReportStart); i != std::string_view::npos && i < Chunk;
             i = seen.find(ReportStart, i + 1))
            if (at + i < to)
                starts.push_back(at + i + 2);
    }
    return starts;
}

// The start of the line before the report whose rule is at rule: the empty line that ended the
// report before it, as the trimmed log always keeps it.
std::uint64_t lineBefore(const RawFile& file, std::uint64_t rule)
{
    if (rule < 2)
        return 0;
    std::uint64_t end = rule - 2; // the CR LF that ends the line before
    while (end > 0) {
        const std::uint64_t from = end > Chunk ? end - Chunk : 0;
        std::string buffer(static_cast<std::size_t>(end - from), '\0');
        std::string error;
        if (file.ReadAt(from, buffer.data(), buffer.size(), error) < 0)
            return rule;
        const std::size_t newline = buffer.find_last_of('\n');
        if (newline != std::string::npos)
            return from + newline + 1;
        end = from;
    }
    return 0;
}

// Where the trimmed log begins: the first report that ends within the limit, or when the newest
// alone is larger, the newest; nothing when the log holds no report start to cut at.
std::optional<std::uint64_t> cutOf(const RawFile& file, std::uint64_t size, std::uint64_t limit)
{
    const std::uint64_t profileLength = std::string(ProfileLabel).size();
    const std::uint64_t earliest = size > limit ? size - limit : 0;
    // A report's "Profil" line must begin inside the last limit bytes.
    const std::uint64_t from = earliest > 64 + 2 ? earliest - 64 - 2 : 0;
    for (const std::uint64_t rule : reportStartsIn(file, from, size))
        if (rule + 62 > earliest && rule + 62 + profileLength <= size)
            return lineBefore(file, rule);
    // The newest report alone is larger than the limit: it stays whole, the older ones go.
    for (std::uint64_t to = size; to > 0;) {
        const std::uint64_t start = to > Chunk ? to - Chunk : 0;
        const std::vector<std::uint64_t> starts = reportStartsIn(file, start, to);
        if (!starts.empty())
            return starts.back() < 2 ? std::nullopt : std::optional<std::uint64_t>(lineBefore(file, starts.back()));
        to = start;
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string> TrimLogLines(std::vector<std::string> lines, std::int64_t limitBytes)
{
    std::int64_t total = 0;
    for (const std::string& line : lines)
        total += sizeOf(line);
    if (total <= limitBytes)
        return lines;
    // Walking back, the earliest report start whose report and everything after it stay below
    // the limit is where the kept text begins (with the one line before its rule).
    std::int64_t after = 0;
    std::size_t keepFrom = lines.size();
    bool found = false;
    for (std::size_t i = lines.size(); i-- > 0;) {
        after += sizeOf(lines[i]);
        if (after >= limitBytes)
            break;
        if (i >= 1 && startsWith(lines[i - 1], ReportRule) && startsWith(lines[i], ProfileLabel)) {
            keepFrom = i;
            found = true;
        }
    }
    if (!found) {
        // The newest report alone is larger than the limit: it stays whole.
        for (std::size_t i = lines.size(); i-- > 1;)
            if (startsWith(lines[i - 1], ReportRule) && startsWith(lines[i], ProfileLabel))
                return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(i >= 2 ? i - 2 : 0),
                                                lines.end());
        return lines;
    }
    const std::size_t drop = keepFrom >= 2 ? keepFrom - 2 : 0;
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(drop));
    return lines;
}

LogFile::LogFile(std::filesystem::path path) : m_path(std::move(path))
{
}

bool LogFile::AppendReport(const std::vector<std::string>& report, std::int64_t limitBytes)
{
    for (const std::string& line : report)
        m_pending.push_back(EscapeReportLine(line));
    return WritePending(limitBytes);
}

bool LogFile::WritePending(std::int64_t limitBytes)
{
    if (m_pending.empty())
        return true;
    // Written where a link points: the link stays a link.
    std::error_code error;
    const bool link = std::filesystem::is_symlink(std::filesystem::symlink_status(m_path, error));
    const std::filesystem::path target = link ? std::filesystem::weakly_canonical(m_path, error) : m_path;
    if (link && error)
        return false;
    std::string text;
    for (const std::string& line : m_pending)
        text += line + "\r\n";
    // Appended at the end, never read: a log of any size costs the report's own bytes. A report
    // that cannot be written whole is cut off again and waits for the next attempt.
    std::string reason;
    const std::unique_ptr<RawFile> file = RawFile::Open(target.string(), RawFile::Mode::Append, reason);
    if (!file)
        return false;
    const std::uint64_t before = file->Size();
    if (!file->Write(text.data(), text.size(), reason)) {
        file->Truncate(before, reason);
        return false;
    }
    if (!file->SyncAndClose(reason))
        return false;
    m_pending.clear();
    trim(target, static_cast<std::uint64_t>(std::max<std::int64_t>(limitBytes, 0)));
    return true;
}

void LogFile::trim(const std::filesystem::path& target, std::uint64_t limit)
{
    std::string reason;
    const std::unique_ptr<RawFile> file = RawFile::Open(target.string(), RawFile::Mode::Read, reason);
    if (!file || file->Size() <= limit)
        return;
    const auto cut = cutOf(*file, file->Size(), limit);
    if (!cut || *cut == 0)
        return;
    // The kept part goes to a new file beside it that replaces the log only when complete.
    const std::filesystem::path temporary = target.parent_path() / ("." + target.filename().string() + ".tresorio-neu");
    {
        const std::unique_ptr<RawFile> out = RawFile::Open(temporary.string(), RawFile::Mode::Create, reason);
        if (!out)
            return;
        // Line by line: a line an older installation wrote in Windows-1252 is written in UTF-8,
        // so the log becomes valid UTF-8 as it is renewed. A line longer than a piece goes as
        // it is.
        std::string buffer(Chunk, '\0');
        std::string carry;
        bool written = true;
        auto put = [&](std::string_view line) {
            const std::string text = IsValidUtf8(line) ? std::string(line) : Cp1252ToUtf8(line);
            written = written && out->Write(text.data(), text.size(), reason);
        };
        for (std::uint64_t at = *cut; at < file->Size() && written;) {
            const std::int64_t n = file->ReadAt(at, buffer.data(), buffer.size(), reason);
            if (n <= 0) {
                written = false;
                break;
            }
            at += static_cast<std::uint64_t>(n);
            carry.append(buffer.data(), static_cast<std::size_t>(n));
            std::size_t start = 0;
            for (std::size_t newline = carry.find('\n'); newline != std::string::npos;
                 newline = carry.find('\n', start)) {
                put(std::string_view(carry).substr(start, newline + 1 - start));
                start = newline + 1;
            }
            carry.erase(0, start);
            if (carry.size() > Chunk) {
                written = written && out->Write(carry.data(), carry.size(), reason);
                carry.clear();
            }
        }
        if (written)
            put(carry);
        if (!written || !out->SyncAndClose(reason)) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error)
        std::filesystem::remove(temporary, error);
}

bool LogFile::DelLogFile(const std::function<bool(const std::string& question)>& askConfirmation)
{
    std::error_code error;
    if (!std::filesystem::exists(m_path, error))
        return false;
    if (!askConfirmation("Protokolldatei löschen"))
        return false;
    return std::filesystem::remove(m_path, error) && !error;
}
