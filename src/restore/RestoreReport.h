#pragma once

#include "base/DateTime.h"
#include "engine/ReportLines.h"
#include "profiles/TProfile.h"

#include <optional>
#include <string>
#include <vector>

/// What the report of a restore (or of a check) says about it, in the report format of a run.
struct RestoreReportData
{
    const TProfile* profile = nullptr;
    std::string heading = "Wiederherstellung"; // "Prüfen" for a check
    std::string from;                          // the destination the backup lies in
    std::optional<DateTime> at;                // "Stand vom", when one was asked for
    std::string target;                        // empty: the original places
    std::string conflict;                      // what a file that differs at the target gets
    DateTime start = 0.0;
};

/// The header: the rule, "Profil", the rule, the heading line, where from and where to, the
/// start; closed by the rule that follows it.
std::vector<std::string> RestoreReportHeader(const RestoreReportData& data);

/// The footer with the counters (files restored as "Anzahl kopiert") and the files skipped.
std::vector<std::string> RestoreReportFooter(const RestoreReportData& data, const RunStatistics& stats,
                                             std::int64_t skipped, DateTime end);
