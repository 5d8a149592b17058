#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

/// Drops the oldest whole run reports from lines until they fit in limitBytes (each line
/// counted with its CR LF). A report starts with a rule of "=" followed by the "Profil" line.
/// The newest report stays whole even when it alone is larger.
std::vector<std::string> TrimLogLines(std::vector<std::string> lines, std::int64_t limitBytes);

/// Backup.log in the data folder: every run's report, oldest first, within the size limit.
/// A report is appended at the end; when the file is then larger than the limit, the reports
/// that end within it are copied to a new file that replaces the old one. Neither reads more
/// than a piece at a time, however large the log.
class LogFile final
{
public:
    explicit LogFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return m_path; }

    /// Appends a run's report and trims the file to limitBytes. When the file cannot be read or
    /// written, the report is kept and written with the next one; false then.
    bool AppendReport(const std::vector<std::string>& report, std::int64_t limitBytes);
    /// Writes reports kept from earlier failures (at exit); false when some are still kept.
    bool WritePending(std::int64_t limitBytes);
    bool hasPending() const { return !m_pending.empty(); }

    /// Asks "Protokolldatei löschen" and deletes the file on yes; no question when there is no file.
    bool DelLogFile(const std::function<bool(const std::string& question)>& askConfirmation);

private:
    void trim(const std::filesystem::path& target, std::uint64_t limit);

    std::filesystem::path m_path;
    std::vector<std::string> m_pending;
};
