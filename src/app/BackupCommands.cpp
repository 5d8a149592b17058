#include "app/BackupCommands.h"

#include "app/DataFolder.h"
#include "app/DataFolderContents.h"
#include "app/QtSettingsStore.h"
#include "app/RestoreFlow.h"
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
    RunControl control;
    OpenedBackup backup(*profile, platform, fs, control);
    // A restore or check can be stopped from the start: the server may keep it waiting already.
    std::optional<Cancellable> cancellable;
    if (!line.listBackupProfile)
        cancellable.emplace(platform, control);
    const auto readContents = [&] { backup.Read(platform.Now(), loaded.settings.Language); };
    if (cancellable)
        cancellable->Run(readContents);
    else
        readContents();
    BackupContents& contents = backup.contents();
    for (const std::string& problem : contents.problems)
        std::cerr << "tresorio: " << problem << '\n';

    if (line.listBackupProfile) {
        listBackup(contents, moment, offset);
        return contents.problems.empty() ? 0 : ExitFailure;
    }

    const auto appendToLog = [&](const std::vector<std::string>& report) {
        const bool written = writeReport(dataFolder, loaded.settings, report);
        if (!written)
            std::cerr << "tresorio: Bericht nicht in " << LogFileName << " geschrieben.\n";
        return written;
    };
    const auto tellErrors = [](const std::vector<std::string>& report) {
        for (const std::string& l : report)
            if (l.rfind(ErrorPrefix, 0) == 0)
                std::cerr << "tresorio: " << l.substr(std::string(ErrorPrefix).size()) << '\n';
    };
    if (line.checkProfile) {
        RestoreReportData report;
        report.profile = profile;
        report.from = contents.where;
        report.at = at;
        report.start = backup.start();
        report.heading = "Prüfen";
        std::vector<std::string> lines = RestoreReportHeader(report);
        CheckOutcome outcome;
        const std::string scratch = platform.SpecialFolderPath(SpecialFolder::Temporary);
        cancellable->Run(
            [&] { outcome = CheckBackup(contents, fs, backup.storedPassword(), scratch, backup.server(), control); });
        lines.insert(lines.end(), outcome.lines.begin(), outcome.lines.end());
        const std::vector<std::string> footer = RestoreReportFooter(report, outcome.stats, 0, platform.Now());
        lines.insert(lines.end(), footer.begin(), footer.end());
        tellErrors(lines);
        const bool written = appendToLog(lines);
        return outcome.stats.errorCount == 0 && written ? 0 : ExitFailure;
    }
    const ConflictAnswer answer = answerOf(line.conflict);
    RestoreChoice choice;
    choice.at = at;
    if (line.to) {
        std::error_code error;
        choice.target = AddSlash(std::filesystem::absolute(*line.to, error).lexically_normal().string());
    }
    choice.password = backup.storedPassword();
    choice.conflict = [answer](const std::string&, const FileEntry&, const StoredVersion&) { return answer; };
    choice.conflictText = conflictText(answer);
    ChooseByPaths(contents, moment, line.paths, choice);
    RestoreEnd end;
    const RestorePlace place{dataFolder, loaded.settings, platform, fs, control, appendToLog, {}};
    cancellable->Run([&] { end = RunRestore(backup, choice, place); });
    tellErrors(end.report);
    const std::int64_t skipped = end.skipped;
    // Skipping is the safe default, not a success: a script that asked for no choice learns that
    // files did not come back. With --conflict skip it asked for exactly that.
    const bool skippedUnasked = skipped > 0 && !line.conflict;
    if (skippedUnasked)
        std::cerr << "tresorio: " << skipped
                  << " Datei(en) übersprungen, weil am Ziel eine andere Fassung liegt (--conflict "
                     "replace|keep|skip wählt)\n";
    return end.stats.errorCount == 0 && end.written && !skippedUnasked ? 0 : ExitFailure;
}
