#pragma once

#include "app/RunOutcome.h"
#include "base/DateTime.h"
#include "platform/Platform.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The words of a command line as a shell's simple quoting makes them: blanks separate words;
/// '…' keeps everything as it is; "…" keeps everything but \" \\ \$ \` (the backslash goes); a
/// backslash outside quotes keeps the next character. Nothing else of a shell: no variables, no
/// globbing, no pipes. Nothing when a quote is not closed or the line ends in a backslash.
std::optional<std::vector<std::string>> SplitCommandWords(std::string_view line);

/// The fixed English word for an ending, as TRESORIO_OUTCOME gives it: "failed", "refused",
/// "interrupted", "overdue" ("succeeded", "cancelled").
const char* OutcomeWord(RunEnding ending);

/// What the command on failure is started with: the outcome in TRESORIO_PROFILE, _ERRORS,
/// _OUTCOME, _REPORT (the log's path) and _FIRST_ERROR, and the run's report on standard input
/// (for an overdue profile, the line that says so).
Platform::CommandRequest FailureCommandRequest(std::vector<std::string> words, const RunOutcome& outcome,
                                               const std::string& logPath, int timeLimitSeconds);

/// The report's note on a command that failed: it could not be read or started, ended with a
/// status other than 0 or by a signal, ran past its limit or was stopped by the program's end.
/// Nothing for one that ended well.
std::optional<std::string> FailureCommandNote(const std::string& commandLine, const Platform::CommandEnd& end,
                                              int timeLimitSeconds);

/// The note as a report of its own for the log, after the run's: the rule and "Profil" line a
/// report begins with, the note, the moment the command started.
std::vector<std::string> FailureCommandReport(const std::string& profile, const std::string& note, DateTime started);
