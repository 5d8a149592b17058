#include "log/LogFile.h"

#include "base/Text.h"
#include "platform/AtomicFile.h"

#include <fstream>
#include <iterator>

namespace {

constexpr const char* ReportRule = "=======";
constexpr const char* ProfileLabel = "Profil                : ";

std::int64_t sizeOf(const std::string& line)
{
    return static_cast<std::int64_t>(line.size()) + 2; // with CR LF
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
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
    if (!found)
        return {};
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
    std::vector<std::string> lines;
    std::error_code error;
    if (std::filesystem::exists(m_path, error)) {
        // A log that cannot be read must not be replaced: the reports wait for a later attempt.
        std::ifstream in(m_path, std::ios::binary);
        if (!in.is_open() || !std::filesystem::is_regular_file(m_path, error))
            return false;
        const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (in.bad())
            return false;
        lines = DecodeStoredLines(content);
    }
    lines.insert(lines.end(), m_pending.begin(), m_pending.end());
    lines = TrimLogLines(std::move(lines), limitBytes);
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    if (WriteFileAtomically(m_path, text, true))
        return false;
    m_pending.clear();
    return true;
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
