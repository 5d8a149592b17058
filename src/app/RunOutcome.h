#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// How a run of a profile ended, as the user is told of it.
enum class RunEnding
{
    Succeeded,   // without errors
    Failed,      // it ran and counted errors
    Refused,     // it could not start: destination unavailable, logon refused
    Interrupted, // cut short by the program's end, or the program was killed during it
    Cancelled,   // the user cancelled it himself
    Overdue,     // no run: the profile has had no run without errors for too long
};

/// What the program tells of a run once it has ended, or of a profile that has been silent too
/// long: to the desktop, to the command on failure and to the journal.
struct RunOutcome
{
    std::string profile;
    RunEnding ending = RunEnding::Succeeded;
    std::int32_t errors = 0;
    std::string firstError;          // in plain words (FirstErrorOf); empty without errors
    std::vector<std::string> report; // as it went into the log
    bool startedByUser = false;      // asked for in the window, not by the schedule
    int daysSinceSuccess = 0;        // of an overdue profile
};

/// Whether the user is told of the outcome on the desktop: of a failure unless he switched error
/// messages off (showError), of a success only when he asked for it (notifySuccess), never of his
/// own cancel.
bool NoticeWanted(const RunOutcome& outcome, bool showError, bool notifySuccess);

/// The words for an overdue profile: "Letzte erfolgreiche Sicherung vor 12 Tagen".
std::string OverdueText(int daysSinceSuccess);

/// Whether the ending is one the user must hear of: every ending but a success or his own cancel.
inline bool IsFailure(RunEnding ending)
{
    return ending != RunEnding::Succeeded && ending != RunEnding::Cancelled;
}

/// How the ending reads in a line: "mit 2 Fehlern beendet: …", "nicht gestartet: …".
std::string OutcomeText(const RunOutcome& outcome);

/// The line a run leaves in the journal: the syslog level journald reads from a "<n>" prefix
/// ("<3>" for a failure), then "Tresorio: Profil "Name" " and OutcomeText.
std::string JournalLine(const RunOutcome& outcome);
