#include "app/BackupCommands.h"

#include "app/DataFolder.h"
#include "app/DataFolderContents.h"
#include "app/QtSettingsStore.h"
#include "base/ProgramSettings.h"
#include "base/ResultCodes.h"
#include "base/Text.h"
#include "engine/CurlFtpSession.h"
#include "engine/FileHelpers.h"
#include "engine/Leftovers.h"
#include "engine/ReportLines.h"
#include "log/LogFile.h"
#include "profiles/ProfileFile.h"
#include "restore/BackupCheck.h"
#include "restore/BackupContents.h"
#include "restore/FtpRemoteFiles.h"
#include "restore/Moment.h"
#include "restore/RestoreReport.h"
#include "restore/Restorer.h"
#include "scheduler/NextRun.h"

#include <QCoreApplication>
#include <iostream>
#include <thread>

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
constexpr const char* LogFileName = "Backup.log";

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

void listBackup(const BackupContents& contents, std::optional<std::int64_t> at, std::int64_t offset)
{
    auto print = [&](const std::string& sub, const StoredVersion& v) {
        const std::string original = contents.layout.OriginalOf(sub).value_or(sub);
        std::cout << EscapeField(original) << '\t' << v.size << '\t'
                  << FormatStampedDateTime(LocalOf(v.mtimeNs, offset)) << '\t' << v.version << '\n';
    };
    if (at) {
        for (const BackupCatalogue::Chosen& c : contents.catalogue.StateAt(at, contents.wholeSets))
            print(c.sub, *c.version);
        return;
    }
    for (const auto& [sub, versions] : contents.catalogue.entries())
        for (const StoredVersion& v : versions)
            print(sub, v);
}

ConflictAnswer answerOf(const std::optional<std::string>& option)
{
    if (option == "replace")
        return ConflictAnswer::Replace;
    if (option == "keep")
        return ConflictAnswer::KeepBoth;
    return ConflictAnswer::Skip;
}

std::string conflictText(ConflictAnswer answer)
{
    switch (answer) {
    case ConflictAnswer::Replace:
        return "ersetzen";
    case ConflictAnswer::KeepBoth:
        return "beide behalten (Name mit Datum)";
    case ConflictAnswer::Skip:
        break;
    }
    return "überspringen";
}

// Appends the report to the log; false when it could not be written.
bool writeReport(const std::filesystem::path& dataFolder, const ProgramSettings& settings,
                 const std::vector<std::string>& report)
{
    LogFile log(dataFolder / LogFileName);
    return log.AppendReport(report, static_cast<std::int64_t>(settings.LogSize) * 1024);
}

// Work done on a thread of its own while this one listens for the system asking the program to
// end: a SIGTERM or Ctrl+C cancels what is under way, which stops between two files (and inside a
// download), so the report is still written.
class Cancellable final
{
public:
    Cancellable(Platform& platform, RunControl& control) : m_app(m_argc, m_argv)
    {
        platform.WhenAskedToEnd([&control](Platform::EndRequest) { control.abortRequested = true; });
    }

    template <typename Work> void Run(Work work)
    {
        std::thread worker([this, &work] {
            work();
            QMetaObject::invokeMethod(
                &m_app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
        });
        QCoreApplication::exec();
        worker.join();
    }

private:
    int m_argc = 1;
    char m_name[9] = "tresorio";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication m_app;
};

} // namespace

int RunBackupCommand(const CommandLine& line, const std::filesystem::path& dataFolder, Platform& platform,
                     FileSystem& fs)
{
    const std::string name = line.restoreProfile ? *line.restoreProfile
                             : line.checkProfile ? *line.checkProfile
                                                 : line.listBackupProfile.value_or(std::string());
    const DataFolderContents loaded = ReadDataFolder(dataFolder, platform.Now());
    if (!loaded.readable) {
        std::cerr << "tresorio: " << (dataFolder / ProfileFileName).string() << " ist keine lesbare Profildatei.\n";
        return ExitFailure;
    }
    const TProfile* profile = nullptr;
    for (int row = 0; row < loaded.profiles.count() && profile == nullptr; ++row)
        if (loaded.profiles.at(row).Name == name)
            profile = &loaded.profiles.at(row);
    if (profile == nullptr) {
        std::cerr << "tresorio: Kein Profil mit dem Namen \"" << name << "\".\n";
        return ExitUsage;
    }
    const std::int64_t offset = LocalOffsetSeconds(platform);
    std::optional<DateTime> at;
    if (line.at) {
        at = ParseMoment(*line.at);
        if (!at) {
            std::cerr << "tresorio: Kein Zeitpunkt: " << *line.at << " (TT.MM.JJJJ [hh:mm[:ss]])\n";
            return ExitUsage;
        }
    }
    const std::optional<std::int64_t> moment = at ? std::optional<std::int64_t>(UnixNsOf(*at, offset)) : std::nullopt;
    const DateTime start = platform.Now();
    const std::string scratch = platform.SpecialFolderPath(SpecialFolder::Temporary);
    RunControl control;
    // An FTP profile's files are on its server: one session lists and fetches them.
    CurlFtpSession session;
    std::unique_ptr<FtpRemoteFiles> server;
    std::string ftpFailure;
    if (profile->FTP) {
        FtpLogin login = FtpLoginOf(*profile);
        login.cancelled = [&control] { return control.abortRequested.load(); };
        login.workTag = NewWorkTag();
        if (session.Connect(login, ftpFailure))
            server = std::make_unique<FtpRemoteFiles>(session, fs);
        else
            std::cerr << "tresorio: " << ftpFailure << '\n';
    }
    // A restore or check can be stopped from the start: the server may keep it waiting already.
    std::optional<Cancellable> cancellable;
    if (!line.listBackupProfile)
        cancellable.emplace(platform, control);
    std::optional<BackupContents> read;
    const auto readContents = [&] {
        read.emplace(ReadBackupContents(*profile, platform, fs, server.get(), start, loaded.settings.Language));
    };
    if (cancellable)
        cancellable->Run(readContents);
    else
        readContents();
    BackupContents& contents = *read;
    if (!ftpFailure.empty())
        contents.problems.back() += " (" + ftpFailure + ")";
    for (const std::string& problem : contents.problems)
        std::cerr << "tresorio: " << problem << '\n';

    if (line.listBackupProfile) {
        listBackup(contents, moment, offset);
        return contents.problems.empty() ? 0 : ExitFailure;
    }

    RestoreReportData report;
    report.profile = profile;
    report.from = contents.where;
    report.at = at;
    report.start = start;
    std::vector<std::string> lines;
    RunStatistics stats;
    std::int64_t skipped = 0;
    const std::string password = profile->Encrypt ? profile->Password : std::string();
    if (line.checkProfile) {
        report.heading = "Prüfen";
        lines = RestoreReportHeader(report);
        CheckOutcome outcome;
        cancellable->Run([&] { outcome = CheckBackup(contents, fs, password, scratch, server.get(), control); });
        lines.insert(lines.end(), outcome.lines.begin(), outcome.lines.end());
        stats = outcome.stats;
    } else {
        const ConflictAnswer answer = answerOf(line.conflict);
        report.target = line.to ? AddSlash(absolutePath(*line.to)) : std::string();
        report.conflict = conflictText(answer);
        lines = RestoreReportHeader(report);
        for (const std::string& problem : contents.problems) {
            lines.push_back(std::string(ErrorPrefix) + problem);
            ++stats.errorCount;
        }
        // What the paths name, in the state asked for; a path the backup does not hold is an error.
        const auto state = contents.catalogue.StateAt(moment, contents.wholeSets);
        RestoreRequest request;
        request.layout = &contents.layout;
        request.targetFolder = report.target;
        request.password = password;
        request.scratchFolder = scratch;
        request.server = server.get();
        request.localOffsetSeconds = offset;
        request.logAll = loaded.settings.LogAll;
        request.conflict = [answer](const std::string&, const FileEntry&, const StoredVersion&) { return answer; };
        std::vector<std::string> subs;
        for (const std::string& path : line.paths) {
            const auto sub = contents.layout.SubOf(absolutePath(path));
            const bool held = sub && std::any_of(state.begin(), state.end(), [&](const BackupCatalogue::Chosen& c) {
                                  return selects(*sub, c.sub);
                              });
            if (!held) {
                lines.push_back(std::string(ErrorPrefix) + "nicht in der Sicherung" +
                                (at ? " zu diesem Zeitpunkt" : "") + ": " + path);
                ++stats.errorCount;
            } else {
                subs.push_back(*sub);
            }
        }
        for (const BackupCatalogue::Chosen& c : state)
            if (line.paths.empty() ||
                std::any_of(subs.begin(), subs.end(), [&](const std::string& s) { return selects(s, c.sub); }))
                request.items.push_back(c);
        if (line.paths.empty() && state.empty() && contents.problems.empty()) {
            lines.push_back(std::string(ErrorPrefix) + "die Sicherung enthält" + (at ? " zu diesem Zeitpunkt" : "") +
                            " nichts");
            ++stats.errorCount;
        }
        // What a killed restore left beside its targets goes first; this one notes where it writes.
        RunMarker marker(dataFolder.string(), "Wiederherstellung\n" + profile->Name);
        std::vector<RunMarker::Unfinished> pending = marker.Pending();
        ClearLeftovers(fs, pending, [](const MarkedFolder&) { return true; });
        request.workTag = NewWorkTag();
        std::vector<MarkedFolder> folders;
        if (!report.target.empty())
            folders.push_back({report.target, {}});
        else
            for (const std::string& source : contents.layout.sources())
                folders.push_back({source, {}});
        if (const auto failure = marker.Begin(request.workTag, folders, pending))
            lines.push_back(RunNoteFailureLine(*failure));
        Restorer restorer(fs, control);
        RestoreOutcome outcome;
        cancellable->Run([&] { outcome = restorer.Run(request); });
        if (control.abortRequested.load()) {
            outcome.lines.push_back(std::string(ErrorPrefix) + CancelledText);
            ++outcome.stats.errorCount;
        }
        marker.End();
        lines.insert(lines.end(), outcome.lines.begin(), outcome.lines.end());
        outcome.stats.errorCount += stats.errorCount;
        stats = outcome.stats;
        skipped = outcome.skipped;
        for (std::string& note : MetadataLossLines(fs.TakeMetadataLosses(), "sie fehlen"))
            lines.push_back(std::move(note));
        // What the report says came back is on the disk.
        if (stats.filesDone > 0)
            for (const MarkedFolder& folder : folders)
                fs.SyncFileSystem(folder.path);
    }
    for (const std::string& l : lines)
        if (l.rfind(ErrorPrefix, 0) == 0)
            std::cerr << "tresorio: " << l.substr(std::string(ErrorPrefix).size()) << '\n';
    const std::vector<std::string> footer = RestoreReportFooter(report, stats, skipped, platform.Now());
    lines.insert(lines.end(), footer.begin(), footer.end());
    const bool written = writeReport(dataFolder, loaded.settings, lines);
    if (!written)
        std::cerr << "tresorio: Bericht nicht in " << LogFileName << " geschrieben.\n";
    // Skipping is the safe default, not a success: a script that asked for no choice learns that
    // files did not come back. With --conflict skip it asked for exactly that.
    const bool skippedUnasked = skipped > 0 && !line.conflict;
    if (skippedUnasked)
        std::cerr << "tresorio: " << skipped
                  << " Datei(en) übersprungen, weil am Ziel eine andere Fassung liegt (--conflict "
                     "replace|keep|skip wählt)\n";
    return stats.errorCount == 0 && written && !skippedUnasked ? 0 : ExitFailure;
}
