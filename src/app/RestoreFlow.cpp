#include "app/RestoreFlow.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "engine/FileHelpers.h"
#include "engine/Leftovers.h"
#include "engine/ReportLines.h"
#include "restore/Moment.h"
#include "restore/RestoreReport.h"

#include <algorithm>
#include <map>

namespace {

// The path a user typed, made absolute against the working folder and without "." and "..";
// a trailing "/" stays.
std::string absolutePath(const std::string& path)
{
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (!path.empty() && path.back() == '/' && (absolute.empty() || absolute.back() != '/'))
        absolute += '/';
    return absolute;
}

// Whether the restore of what sub names takes the entry at item.
bool selects(const std::string& sub, const std::string& item)
{
    if (item == sub || item == AddSlash(sub))
        return true;
    const std::string folder = AddSlash(sub);
    return sub.empty() || item.compare(0, folder.size(), folder) == 0;
}

} // namespace

OpenedBackup::OpenedBackup(TProfile profile, Platform& platform, FileSystem& fs, RunControl& control)
    : m_profile(std::move(profile)), m_platform(platform), m_fs(fs), m_control(control)
{
}

void OpenedBackup::Read(DateTime start, int language)
{
    m_start = start;
    std::string ftpFailure;
    if (m_profile.FTP) {
        FtpLogin login = FtpLoginOf(m_profile);
        login.cancelled = [this] { return m_control.abortRequested.load(); };
        login.workTag = NewWorkTag();
        if (m_session.Connect(login, ftpFailure))
            m_server = std::make_unique<FtpRemoteFiles>(m_session, m_fs);
    }
    m_contents.emplace(ReadBackupContents(m_profile, m_platform, m_fs, m_server.get(), start, language));
    if (!ftpFailure.empty() && !m_contents->problems.empty())
        m_contents->problems.back() += " (" + ftpFailure + ")";
}

std::string OpenedBackup::storedPassword() const
{
    return m_profile.Encrypt ? m_profile.Password : std::string();
}

std::vector<std::int64_t> KnownMoments(const BackupCatalogue& catalogue)
{
    // Folders do not count: a generation's folders bear the time of the run that made them, not
    // of the files the generation keeps.
    std::map<std::string, std::int64_t> latest;
    for (const auto& [sub, versions] : catalogue.entries())
        for (const StoredVersion& v : versions) {
            if (v.kind == EntryKind::Folder)
                continue;
            std::int64_t& moment = latest[v.version];
            moment = std::max(moment, v.storedNs);
        }
    std::vector<std::int64_t> moments;
    for (const auto& [version, moment] : latest)
        moments.push_back(moment);
    std::sort(moments.begin(), moments.end(), std::greater<>());
    moments.erase(std::unique(moments.begin(), moments.end()), moments.end());
    return moments;
}

void ChooseByPaths(const BackupContents& contents, std::optional<std::int64_t> moment,
                   const std::vector<std::string>& paths, RestoreChoice& choice)
{
    const std::vector<BackupCatalogue::Chosen> state = contents.catalogue.StateAt(moment, contents.wholeSets);
    std::vector<std::string> subs;
    for (const std::string& path : paths) {
        const auto sub = contents.layout.SubOf(absolutePath(path));
        const bool held = sub && std::any_of(state.begin(), state.end(),
                                             [&](const BackupCatalogue::Chosen& c) { return selects(*sub, c.sub); });
        if (held)
            subs.push_back(*sub);
        else
            choice.notes.push_back("nicht in der Sicherung" + std::string(moment ? " zu diesem Zeitpunkt" : "") + ": " +
                                   path);
    }
    for (const BackupCatalogue::Chosen& c : state)
        if (paths.empty() ||
            std::any_of(subs.begin(), subs.end(), [&](const std::string& s) { return selects(s, c.sub); }))
            choice.items.push_back(c);
    if (paths.empty() && state.empty() && contents.problems.empty())
        choice.notes.push_back("die Sicherung enthält" + std::string(moment ? " zu diesem Zeitpunkt" : "") + " nichts");
}

RestoreEnd RunRestore(OpenedBackup& backup, const RestoreChoice& choice, const RestorePlace& place)
{
    const BackupContents& contents = backup.contents();
    FileSystem& fs = place.fs;
    RestoreReportData report;
    report.profile = &backup.profile();
    report.from = contents.where;
    report.at = choice.at;
    report.start = backup.start();
    report.target = choice.target;
    report.conflict = choice.conflictText;
    std::vector<std::string> lines = RestoreReportHeader(report);
    std::int32_t errors = 0;
    for (const std::string& problem : contents.problems) {
        lines.push_back(std::string(ErrorPrefix) + problem);
        ++errors;
    }
    for (const std::string& note : choice.notes) {
        lines.push_back(std::string(ErrorPrefix) + note);
        ++errors;
    }
    RestoreRequest request;
    request.items = choice.items;
    request.layout = &contents.layout;
    request.targetFolder = choice.target;
    request.password = choice.password;
    request.scratchFolder = place.platform.SpecialFolderPath(SpecialFolder::Temporary);
    request.server = backup.server();
    request.localOffsetSeconds = LocalOffsetSeconds(place.platform);
    request.logAll = place.settings.LogAll;
    request.conflict = choice.conflict;
    request.progress = place.progress;
    // What a killed restore left beside its targets goes first; this one notes where it writes.
    RunMarker marker(place.dataFolder.string(), "Wiederherstellung\n" + backup.profile().Name);
    std::vector<RunMarker::Unfinished> pending = marker.Pending();
    ClearLeftovers(fs, pending, [](const MarkedFolder&) { return true; });
    request.workTag = NewWorkTag();
    std::vector<MarkedFolder> folders;
    if (!choice.target.empty())
        folders.push_back({choice.target, {}});
    else
        for (const std::string& source : contents.layout.sources())
            folders.push_back({source, {}});
    if (const auto failure = marker.Begin(request.workTag, folders, pending))
        lines.push_back(RunNoteFailureLine(*failure));
    Restorer restorer(fs, place.control);
    RestoreOutcome outcome = restorer.Run(request);
    if (place.control.abortRequested.load()) {
        outcome.lines.push_back(std::string(ErrorPrefix) + CancelledText);
        ++outcome.stats.errorCount;
    }
    marker.End();
    lines.insert(lines.end(), outcome.lines.begin(), outcome.lines.end());
    RestoreEnd end;
    end.stats = outcome.stats;
    end.stats.errorCount += errors;
    end.skipped = outcome.skipped;
    for (std::string& note : MetadataLossLines(fs.TakeMetadataLosses(), "sie fehlen"))
        lines.push_back(std::move(note));
    // What the report says came back is on the disk.
    if (end.stats.filesDone > 0)
        for (const MarkedFolder& folder : folders)
            fs.SyncFileSystem(folder.path);
    const std::vector<std::string> footer = RestoreReportFooter(report, end.stats, end.skipped, place.platform.Now());
    lines.insert(lines.end(), footer.begin(), footer.end());
    end.written = place.appendToLog(lines);
    end.report = std::move(lines);
    return end;
}
