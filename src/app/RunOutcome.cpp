#include "app/RunOutcome.h"

std::string OverdueText(int daysSinceSuccess)
{
    if (daysSinceSuccess == 1)
        return "Letzte erfolgreiche Sicherung vor einem Tag";
    return "Letzte erfolgreiche Sicherung vor " + std::to_string(daysSinceSuccess) + " Tagen";
}

bool NoticeWanted(const RunOutcome& outcome, bool showError, bool notifySuccess)
{
    if (outcome.ending == RunEnding::Succeeded)
        return notifySuccess;
    return IsFailure(outcome.ending) && showError;
}

std::string OutcomeText(const RunOutcome& outcome)
{
    const std::string cause = outcome.firstError.empty() ? std::string() : ": " + outcome.firstError;
    switch (outcome.ending) {
    case RunEnding::Succeeded:
        return "ohne Fehler beendet";
    case RunEnding::Failed:
        return "mit " + std::to_string(outcome.errors) + (outcome.errors == 1 ? " Fehler" : " Fehlern") + " beendet" +
               cause;
    case RunEnding::Refused:
        return "nicht gestartet" + cause;
    case RunEnding::Interrupted:
        return "unterbrochen" + cause;
    case RunEnding::Cancelled:
        return "vom Benutzer abgebrochen";
    case RunEnding::Overdue:
        return "überfällig: " + OverdueText(outcome.daysSinceSuccess);
    }
    return {};
}

std::string JournalLine(const RunOutcome& outcome)
{
    const char* level = IsFailure(outcome.ending) ? "<3>" : outcome.ending == RunEnding::Cancelled ? "<5>" : "<6>";
    // One line, whatever a name or an error holds.
    std::string line = std::string(level) + "tresorio: Profil \"" + outcome.profile + "\" " + OutcomeText(outcome);
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    return line;
}
