#pragma once

#include "base/DateTime.h"
#include "profiles/TProfile.h"

#include <cstdint>
#include <string>
#include <vector>

// The lines of a run's report. Labels are 24 characters wide (a word padded to 22, then ": "),
// rules 60 characters.

inline constexpr const char* RuleLine = "============================================================";
inline constexpr const char* ThinRuleLine = "------------------------------------------------------------";
inline constexpr const char* ErrorPrefix = "!!! Fehler    : ";

/// "Word" padded to 22 characters followed by ": ".
std::string ReportLabel(const std::string& word);

/// "!!! Fehler    : " + text + " (" + message + ")".
std::string FileErrorLine(const std::string& text, std::int32_t code, const std::string& message);

/// What the report's header shows of a run.
struct ReportHeaderData
{
    const TProfile* profile = nullptr;
    std::vector<std::string> sources; // expanded, each ending with "/"
    std::string destination;          // expanded, ending with "/"
    std::string archiveName;          // the expanded Zipfile
    DateTime start = 0.0;
};

/// Lines 1 to 11 (up to the run's mode), and 12 to 17; the rule that closes the header comes
/// with what follows it (the walk, or the error that prevents it).
std::vector<std::string> ReportHeaderTop(const ReportHeaderData& data);
std::vector<std::string> ReportHeaderBottom(const ReportHeaderData& data);

/// The counters of a run.
struct RunStatistics
{
    std::int32_t foldersScanned = 0;
    std::int64_t filesScanned = 0;
    std::int64_t filesToDo = 0;
    std::int64_t filesDone = 0;
    std::int64_t bytesDone = 0;
    std::int32_t compressionRate = 0;
    std::int32_t errorCount = 0;
};

/// The statistics of a run and the moments that frame it.
struct ReportFooterData
{
    const TProfile* profile = nullptr;
    bool anyLogSetting = true; // LogAll, LogError or LogProfile
    RunStatistics stats;
    DateTime start = 0.0;
    DateTime end = 0.0;
};

/// Lines 20 to 32.
std::vector<std::string> ReportFooter(const ReportFooterData& data);

/// Megabytes per minute, rounded half to even; 0 for a run without duration.
std::int32_t MegabytesPerMinute(std::int64_t bytes, DateTime start, DateTime end);
/// The duration as "hh:nn:ss"; a run of more than a day shows all its hours.
std::string FormatDuration(DateTime start, DateTime end);
/// 100 - round(archive size x 100 / bytes), half to even; 0 when nothing was processed.
std::int32_t CompressionRateOf(std::int64_t archiveSize, std::int64_t bytes);
/// "hh:nn:ss".
std::string FormatTime(DateTime moment);

/// The report's notes on what the destination or the user's rights could not keep (the
/// MetadataLoss bits of losses), said once a run; missing ends the attributes' line.
std::vector<std::string> MetadataLossLines(unsigned losses, const std::string& missing);

/// The first error a report names, in plain words: the text of its first error line, followed by
/// the cause when the next line gives it as "(code - cause)". Empty for a report without errors.
std::string FirstErrorOf(const std::vector<std::string>& report);
