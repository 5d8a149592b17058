#include "app/InterruptedRuns.h"

#include "engine/ReportLines.h"

std::vector<std::string> InterruptedRunReport(const std::string& name, DateTime begun)
{
    return {RuleLine,
            ReportLabel("Profil") + name,
            std::string(ErrorPrefix) + "Sicherung unterbrochen: Tresorio wurde beendet, bevor sie fertig war",
            RuleLine,
            ReportLabel("Datum") + FormatDate(begun),
            ReportLabel("Startzeit") + FormatTime(begun),
            ReportLabel("Fehleranzahl") + "1",
            ReportLabel("Ende Profil") + name,
            RuleLine,
            ""};
}

std::vector<std::vector<std::string>> TakeInterruptedRuns(ProfileList& profiles)
{
    std::vector<std::vector<std::string>> reports;
    for (int row = 0; row < profiles.count(); ++row) {
        TProfile& p = profiles.at(row);
        if (!p.RunUnfinished)
            continue;
        p.RunUnfinished = false;
        p.Errors = 1;
        reports.push_back(InterruptedRunReport(p.Name, p.LastRun));
    }
    return reports;
}
