#pragma once

#include "app/RunOutcome.h"

#include <QString>

/// What the desktop shows of a run's outcome, in the program's language.
struct OutcomeNotice
{
    QString summary; // names the profile
    QString body;    // the number of errors and the first error in plain words
    bool critical = false;
};

OutcomeNotice NoticeOf(const RunOutcome& outcome);

/// "Letzte erfolgreiche Sicherung vor 12 Tagen".
QString OverdueNotice(int daysSinceSuccess);
