#include "engine/RunStartRules.h"

#include "engine/ReportLines.h"

namespace {

constexpr std::int64_t TenMinutes = 600'000;

std::string failureLine(const FileResult& f)
{
    return std::string(ErrorPrefix) + "(" + std::to_string(f.code) + " - " + f.systemText + ")";
}

} // namespace

DateTime ReferenceTimeOf(const TProfile& profile, const ProfileList& profiles)
{
    DateTime reference = profile.LastRun;
    if (profile.Backuptype != BackupIncremental || profile.Archive || profile.IncrFull.empty())
        return reference;
    for (int row = 0; row < profiles.count(); ++row) {
        const TProfile& other = profiles.at(row);
        if (other.Backuptype == BackupFull && other.Name == profile.IncrFull && other.LastRun > reference)
            reference = other.LastRun;
    }
    return reference;
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

std::string RunProgramFolder(const std::string& commandLine, const std::string& home)
{
    const std::size_t slash = commandLine.find_last_of('/');
    return slash == std::string::npos ? home : commandLine.substr(0, slash + 1);
}

std::vector<std::string> UnavailableDestinationReport(const std::string& name, const std::string& destination,
                                                      const std::optional<FileResult>& logonError,
                                                      const std::optional<FileResult>& destinationError, bool scheduled,
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
