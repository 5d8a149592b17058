#include "engine/RunStartRules.h"

#include "engine/ReportLines.h"

#include <algorithm>

namespace {

constexpr std::int64_t TenMinutes = 600'000;

std::string failureLine(const Status& f)
{
    return std::string(ErrorPrefix) + "(" + std::to_string(f.code) + " - " + f.message + ")";
}

} // namespace

std::int64_t ReferenceTimeOf(const TProfile& profile, const ProfileList& profiles)
{
    // A run that failed does not move the reference: the files it missed are taken again.
    const std::int64_t own = profile.LastGoodRun > 0 ? profile.LastGoodRun : NeverRan;
    const bool byDate =
        !profile.Archive && (profile.Backuptype == BackupIncremental || profile.Backuptype == BackupDifferential);
    if (!byDate || profile.IncrFull.empty())
        return own;
    std::optional<std::int64_t> full;
    for (int row = 0; row < profiles.count(); ++row) {
        const TProfile& other = profiles.at(row);
        if (other.Backuptype == BackupFull && other.Name == profile.IncrFull) {
            const std::int64_t clean = other.LastGoodRun > 0 ? other.LastGoodRun : NeverRan;
            full = full ? std::max(*full, clean) : clean;
        }
    }
    if (!full)
        return own;
    // An incremental run builds on whichever came last; a differential one on the full backup.
    return profile.Backuptype == BackupIncremental ? std::max(own, *full) : *full;
}

std::optional<std::string> FutureReferenceNote(std::int64_t reference, std::int64_t started)
{
    if (reference == NeverRan || reference <= started)
        return std::nullopt;
    return "Hinweis: Die letzte fehlerfreie Sicherung liegt nach dem Start dieses Laufs (die Uhr ging damals vor); "
           "alle Dateien werden gesichert";
}

std::int64_t NextReferenceOf(const TProfile& profile, std::int64_t reference, std::int64_t started)
{
    if (profile.Backuptype == BackupDifferential && !profile.Archive)
        return reference == NeverRan ? started : profile.LastGoodRun;
    return started;
}

std::string ShareRoot(const std::string& path)
{
    std::string root = path.substr(0, 2);
    std::string rest = path.size() > 2 ? path.substr(2) : std::string();
    const std::size_t server = rest.find('\\');
    if (server == std::string::npos)
        return root;
    root += rest.substr(0, server + 1);
    rest = rest.substr(server + 1);
    const std::size_t share = rest.find('\\');
    if (share != std::string::npos)
        root += rest.substr(0, share);
    return root;
}

DateTime NextTenMinuteMark(DateTime now)
{
    const std::int64_t ms = ToLinearMs(now);
    const std::int64_t marks = (ms >= 0 ? ms / TenMinutes : -((-ms + TenMinutes - 1) / TenMinutes)) + 1;
    return FromLinearMs(marks * TenMinutes);
}

std::string RunProgramFolder(const std::string& commandLine, const std::string& home,
                             const std::function<bool(const std::string&)>& isFolder)
{
    const std::size_t slash = commandLine.find_last_of('/');
    if (slash == std::string::npos)
        return home;
    const std::string folder = commandLine.substr(0, slash + 1);
    return isFolder(folder) ? folder : home;
}

std::optional<std::string> ProgramNote(const std::string& commandLine, const Platform::ProgramRun& run, bool waited)
{
    if (!run.started)
        return "Hinweis: Programm vor der Sicherung \"" + commandLine + "\" konnte nicht gestartet werden";
    if (run.stillRunning)
        return "Hinweis: Programm vor der Sicherung \"" + commandLine +
               "\" läuft noch; Tresorio endet, ohne länger darauf zu warten";
    if (waited && run.exitStatus != 0)
        return "Hinweis: Programm vor der Sicherung \"" + commandLine + "\" endete mit Status " +
               std::to_string(run.exitStatus);
    return std::nullopt;
}

std::vector<std::string> UnavailableDestinationReport(const std::string& name, const std::string& destination,
                                                      const std::optional<Status>& logonError,
                                                      const std::optional<Status>& destinationError, bool scheduled,
                                                      DateTime now)
{
    std::vector<std::string> lines = {RuleLine, ReportLabel("Profil") + name,
                                      std::string(ErrorPrefix) + "Ziel " + destination + " derzeit nicht verfügbar"};
    if (logonError)
        lines.push_back(failureLine(*logonError));
    if (destinationError)
        lines.push_back(failureLine(*destinationError));
    if (scheduled)
        lines.push_back(std::string(16, ' ') + "Neuerlicher Start um 10 Minuten verschoben");
    lines.push_back(RuleLine);
    lines.push_back(ReportLabel("Datum") + FormatDate(now));
    lines.push_back(ReportLabel("Uhrzeit") + FormatTime(now));
    lines.push_back(RuleLine);
    lines.push_back("");
    return lines;
}

std::string ErrorCountMessage(std::int32_t errors)
{
    // The message box shows the product's name on a line of its own.
    return "Tresorio 2002\nBeim Sichern ist/sind " + std::to_string(errors) +
           " Fehler aufgetreten. Fehlerbeschreibung finden Sie im Sicherungsprotokoll.";
}
