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

std::vector<RunOutcome> TakeInterruptedRuns(ProfileList& profiles)
{
    std::vector<RunOutcome> outcomes;
    for (int row = 0; row < profiles.count(); ++row) {
        TProfile& p = profiles.at(row);
        if (!p.RunUnfinished)
            continue;
        p.RunUnfinished = false;
        p.Errors = 1;
        std::vector<std::string> report = InterruptedRunReport(p.Name, p.LastRun);
        std::string firstError = FirstErrorOf(report);
        outcomes.push_back({p.Name, RunEnding::Interrupted, 1, std::move(firstError), std::move(report), false, 0});
    }
    return outcomes;
}
