#include "restore/RestoreReport.h"

#include <algorithm>

std::vector<std::string> RestoreReportHeader(const RestoreReportData& d)
{
    std::vector<std::string> lines = {RuleLine, ReportLabel("Profil") + d.profile->Name, RuleLine, d.heading};
    lines.push_back(ReportLabel("Quelle") + d.from);
    if (d.at)
        lines.push_back(ReportLabel("Stand vom") + FormatStampedDateTime(*d.at));
    if (!d.conflict.empty())
        lines.push_back(ReportLabel("Ziel") + (d.target.empty() ? "ursprünglicher Ort" : d.target));
    if (!d.conflict.empty())
        lines.push_back(ReportLabel("Andere Datei am Ziel") + d.conflict);
    lines.push_back(ThinRuleLine);
    lines.push_back(ReportLabel("Datum") + FormatDate(d.start));
    lines.push_back(ReportLabel("Startzeit") + FormatTime(d.start));
    lines.push_back(RuleLine);
    return lines;
}

std::vector<std::string> RestoreReportFooter(const RestoreReportData& d, const RunStatistics& stats,
                                             std::int64_t skipped, DateTime end)
{
    // The counters of a run without an archive of its own to rate.
    TProfile profile = *d.profile;
    profile.Compress = false;
    std::vector<std::string> lines = ReportFooter({&profile, true, stats, d.start, end});
    const std::string errors = ReportLabel("Fehleranzahl");
    const auto at =
        std::find_if(lines.begin(), lines.end(), [&errors](const std::string& l) { return l.rfind(errors, 0) == 0; });
    lines.insert(at, ReportLabel("Übersprungen") + std::to_string(skipped));
    return lines;
}
