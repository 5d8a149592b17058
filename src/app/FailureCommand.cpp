#include "app/FailureCommand.h"

#include "engine/ReportLines.h"

#include <utility>

std::optional<std::vector<std::string>> SplitCommandWords(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(std::exchange(word, {}));
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\\') {
            if (++i == line.size())
                return std::nullopt;
            word += line[i];
        } else if (c == '\'') {
            const std::size_t close = line.find('\'', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            word += line.substr(i + 1, close - i - 1);
            i = close;
        } else if (c == '"') {
            for (++i;; ++i) {
                if (i == line.size())
                    return std::nullopt;
                if (line[i] == '"')
                    break;
                const bool escape = line[i] == '\\' && i + 1 < line.size() &&
                                    std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos;
                if (escape)
                    ++i;
                word += line[i];
            }
        } else {
            word += c;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

const char* OutcomeWord(RunEnding ending)
{
    switch (ending) {
    case RunEnding::Succeeded:
        return "succeeded";
    case RunEnding::Failed:
        return "failed";
    case RunEnding::Refused:
        return "refused";
    case RunEnding::Interrupted:
        return "interrupted";
    case RunEnding::Cancelled:
        return "cancelled";
    case RunEnding::Overdue:
        return "overdue";
    }
    return "failed";
}

Platform::CommandRequest FailureCommandRequest(std::vector<std::string> words, const RunOutcome& outcome,
                                               const std::string& logPath, int timeLimitSeconds)
{
    Platform::CommandRequest request;
    request.words = std::move(words);
    request.environment = {{"TRESORIO_PROFILE", outcome.profile},
                           {"TRESORIO_ERRORS", std::to_string(outcome.errors)},
                           {"TRESORIO_OUTCOME", OutcomeWord(outcome.ending)},
                           {"TRESORIO_REPORT", logPath},
                           {"TRESORIO_FIRST_ERROR", outcome.firstError}};
    if (outcome.ending == RunEnding::Overdue || outcome.report.empty())
        request.input = OutcomeText(outcome) + "\n";
    for (const std::string& line : outcome.report)
        request.input += line + "\n";
    request.timeLimitSeconds = timeLimitSeconds;
    return request;
}

std::optional<std::string> FailureCommandNote(const std::string& commandLine, const Platform::CommandEnd& end,
                                              int timeLimitSeconds)
{
    const std::string command = "Hinweis: Befehl bei Fehlern \"" + commandLine + "\" ";
    switch (end.kind) {
    case Platform::CommandEnd::Kind::NotStarted:
        return command + "konnte nicht gestartet werden" + (end.error.empty() ? "" : " (" + end.error + ")");
    case Platform::CommandEnd::Kind::TimedOut:
        return command + "lief länger als " + std::to_string(timeLimitSeconds) + " s und wurde beendet";
    case Platform::CommandEnd::Kind::Stopped:
        return command + "wurde beim Beenden von Tresorio abgebrochen";
    case Platform::CommandEnd::Kind::Ended:
        break;
    }
    if (end.signal != 0)
        return command + "endete durch Signal " + std::to_string(end.signal);
    if (end.exitStatus != 0)
        return command + "endete mit Status " + std::to_string(end.exitStatus);
    return std::nullopt;
}

std::vector<std::string> FailureCommandReport(const std::string& profile, const std::string& note, DateTime started)
{
    return {RuleLine,
            ReportLabel("Profil") + profile,
            note,
            RuleLine,
            ReportLabel("Datum") + FormatDate(started),
            ReportLabel("Startzeit") + FormatTime(started),
            ReportLabel("Ende Profil") + profile,
            RuleLine,
            ""};
}
