#include "app/RunController.h"

#include "app/MainThreadQuestion.h"
#include "base/ResultCodes.h"
#include "base/Text.h"
#include "engine/FileHelpers.h"
#include "engine/MediumGuard.h"
#include "engine/Placeholders.h"
#include "engine/ReportLines.h"
#include "engine/RunStartRules.h"
#include "profiles/ProfileRowTexts.h"
#include "scheduler/NextRun.h"
#include "scheduler/Overdue.h"

#include <chrono>

RunController::RunController(RunEnvironment environment) : m_env(std::move(environment))
{
}

RunController::~RunController()
{
    WaitForWorker();
}

std::optional<int> RunController::ActiveProfileIndex() const
{
    return m_active ? m_env.profiles.rowOf(*m_active) : std::nullopt;
}

void RunController::WaitForWorker()
{
    joinProgramThread();
    if (m_worker)
        m_worker->join();
    m_finished.reset();
}

void RunController::joinProgramThread()
{
    if (!m_programThread.joinable())
        return;
    // A front end that runs tasks at once takes the program's end on the helper thread itself,
    // which ends by itself right after.
    if (m_programThread.get_id() == std::this_thread::get_id())
        m_programThread.detach();
    else
        m_programThread.join();
}

std::string RunController::expandedDestination(const TProfile& profile, DateTime now) const
{
    const PlaceholderValues values = PlaceholderValuesFor(m_env.platform, now, m_env.settings.Language);
    return ExpandPlaceholders(profile.Destination, values);
}

void RunController::save()
{
    if (const auto failure = m_env.profileFile.SaveProfiles(m_env.profiles))
        m_env.dialogs.ShowError(*failure);
    for (const std::string& warning : m_env.profileFile.TakeWarnings())
        m_env.dialogs.ShowWarning(warning);
}

void RunController::runProgram(const std::string& commandLine, bool wait, ProgramEnded then)
{
    // A program that cannot be started, or ends with an error, is passed over: the run does not
    // depend on it, but its report says so.
    if (commandLine.empty()) {
        then(std::nullopt);
        return;
    }
    const auto isFolder = [this](const std::string& path) {
        const auto entry = m_env.fs.Stat(path);
        return entry && entry->folder;
    };
    const std::string home = m_env.platform.SpecialFolderPath(SpecialFolder::Home);
    const std::string folder = RunProgramFolder(commandLine, home, isFolder);
    if (!wait) {
        then(m_env.platform.RunProgram(commandLine, folder, false));
        return;
    }
    // Waited for here, a program would freeze the windows until it ends, for as long as it
    // likes. The run stays active meanwhile, so no other run starts, and a cancel is kept for
    // the worker.
    joinProgramThread();
    m_programThread = std::thread([this, commandLine, folder, then = std::move(then)]() mutable {
        const Platform::ProgramRun run = m_env.platform.RunProgram(commandLine, folder, true);
        m_env.toMainThread([this, run, then = std::move(then)] {
            joinProgramThread();
            then(run);
        });
    });
}

bool RunController::BeginRestore()
{
    if (m_runActive)
        return false;
    m_runActive = true;
    m_restoring = true;
    m_control.abortRequested = false;
    m_env.view.UpdateProfileList();
    return true;
}

void RunController::EndRestore()
{
    if (!m_restoring)
        return;
    m_restoring = false;
    m_runActive = false;
    m_env.view.UpdateProfileList();
}

void RunController::BackupProfile(int row)
{
    if (m_runActive || row < 0 || row >= m_env.profiles.count())
        return;
    m_finished.reset();
    m_control.abortRequested = false;
    m_startedByUser = m_nextByUser;
    m_cancelledForEnd = false;
    m_cancelledByUser = false;
    m_refused = false;
    m_outcome.reset();
    m_runActive = true;
    m_active = m_env.profiles.idAt(row);
    TProfile& profile = m_env.profiles.at(row);

    m_reference = ReferenceTimeOf(profile, m_env.profiles);
    m_started = m_env.platform.UnixTime();
    // A reference after this start would let every file look unchanged: there is none.
    m_referenceNote = FutureReferenceNote(m_reference, m_started);
    if (m_referenceNote)
        m_reference = NeverRan;
    const DateTime now = m_env.platform.Now();
    // A profile file from before the last good run was stored: what LastRun says of it is taken
    // over before LastRun moves on.
    if (profile.LastSuccess == 0.0)
        profile.LastSuccess = LastErrorFreeRun(profile).value_or(NoRun);
    profile.LastRun = now;
    profile.RunUnfinished = true; // until its end is recorded: a kill meanwhile shows at the next start
    CalcNextBackup(profile, now);
    save();
    m_env.view.UpdateProfileList();
    // The program's line as it was started, whatever the profile says by the time it has ended.
    runProgram(profile.RunBefore, profile.RunBeforeWait,
               [this, now, commandLine = profile.RunBefore,
                waited = profile.RunBeforeWait](std::optional<Platform::ProgramRun> before) {
                   std::optional<std::string> programNote;
                   if (before)
                       programNote = ProgramNote(commandLine, *before, waited);
                   startRun(now, programNote);
               });
}

void RunController::startRun(DateTime now, const std::optional<std::string>& programNote)
{
    // Rows may have moved while the program ran; a profile that has gone meanwhile has nothing to
    // run.
    TProfile* found = m_active ? m_env.profiles.find(*m_active) : nullptr;
    if (!found) {
        backupLog({}, 0, 0, 0, 0);
        return;
    }
    TProfile& profile = *found;
    // A cancel while the program ran reaches the worker before its first file search: it copies
    // nothing and reports the cancel.
    m_netConnectionMade = false;
    m_destinationVolume.reset();
    std::optional<Status> logonError;
    std::optional<Status> destinationError;
    const bool folderDestination = !profile.FTP && profile.Backuptype != BackupDelete;
    const std::string destination = expandedDestination(profile, now);
    if (folderDestination && profile.NetLogon) {
        m_share = ShareRoot(destination);
        const Status logon = m_env.platform.ConnectShare(m_share, profile.NetUser, profile.NetPasswd);
        if (logon.ok())
            m_netConnectionMade = true;
        else
            logonError = logon;
    }
    if (folderDestination) {
        // A medium that is not plugged in is unavailable like a share that cannot be reached:
        // its folders are never made on the disk that holds the empty mount point.
        // A destination must name its place: a relative one (a Windows path from an older
        // profile file, "\\server\share") would be made wherever the program was started.
        const bool absolute = !destination.empty() && destination.front() == '/';
        const auto unmounted = UnmountedDestinationOf(m_env.fs, m_env.platform, destination, profile);
        const Status made = !absolute   ? Status{ResultCode::PathNotFound, "kein absoluter Pfad"}
                            : unmounted ? Status{ResultCode::DriveNotReady, *unmounted}
                                        : ForceDestination(m_env.fs, destination);
        if (!made.ok())
            destinationError = made;
        else
            m_destinationVolume = m_env.platform.VolumeOf(destination);
    }
    if (logonError || destinationError) {
        const bool scheduled = profile.Period != PeriodNotPeriodic;
        if (scheduled)
            profile.NextRun = NextTenMinuteMark(now);
        profile.Errors = 1;
        std::vector<std::string> report =
            UnavailableDestinationReport(profile.Name, destination, logonError, destinationError, scheduled, now);
        if (programNote)
            report.insert(report.begin() + 2, *programNote);
        m_refused = true;
        backupLog(report, 1, 0, 0, 0);
        return;
    }

    m_env.view.ShowActive(true, profile.Name + " (" + RefreshedRowTexts(profile, true).mode + ")");
    m_archive = m_env.openArchiveState();
    BackupJob job = MakeBackupJob(profile, m_env.settings, m_reference);
    job.dataFolder = m_env.dataFolder;
    job.someoneToAsk = m_startedByUser;
    if (programNote)
        job.notes.push_back(*programNote);
    if (m_referenceNote)
        job.notes.push_back(*m_referenceNote);
    auto run =
        std::make_unique<BackupRun>(std::move(job), m_env.platform, m_env.fs, *m_archive, m_workerObserver, m_control);
    m_worker = std::make_unique<BackupThread>(std::move(run), [this](RunResult result) {
        m_env.toMainThread([this, result = std::move(result)]() mutable { backupDone(std::move(result)); });
    });
}

void RunController::backupDone(RunResult result)
{
    // The worker is joined later on the main thread: this may run on the worker itself.
    m_finished = std::move(m_worker);
    const TProfile* profile = m_active ? m_env.profiles.find(*m_active) : nullptr;
    std::optional<bool> powerOff;
    if (profile && profile->ShutDown)
        powerOff = profile->ShutDownForce;
    // Closed before the run's end is told: what is told may start the next run, with a catalogue
    // of its own.
    m_archive.reset();
    backupLog(result.logLines, result.errorCount, result.compressionRate, result.bytesDone, result.filesDone, powerOff);
}

void RunController::backupLog(const std::vector<std::string>& lines, std::int32_t errors, std::int32_t rate,
                              std::int64_t size, std::int64_t count, std::optional<bool> powerOff)
{
    m_env.appendToLog(lines);
    TProfile* profile = m_active ? m_env.profiles.find(*m_active) : nullptr;
    std::string runAfter;
    bool runAfterWait = false;
    if (profile) {
        profile->RunUnfinished = false;
        profile->Errors = errors;
        profile->FilesCompressed = rate;
        profile->FilesSize = size;
        profile->FilesCount = count;
        if (errors == 0) {
            profile->LastGoodRun = NextReferenceOf(*profile, m_reference, m_started);
            profile->LastSuccess = profile->LastRun;
        }
        // The medium a run went well on is the one its destination is on from now on.
        if (errors == 0 && m_destinationVolume) {
            profile->DestFileSystem = m_destinationVolume->identity;
            profile->DestMountPoint = m_destinationVolume->mountPoint;
        }
        runAfter = profile->RunAfter;
        runAfterWait = profile->RunAfterWait;
        m_outcome = RunOutcome{profile->Name, endingOf(errors), errors, FirstErrorOf(lines), lines, m_startedByUser};
    }
    if (m_netConnectionMade)
        m_env.platform.DisconnectShare(m_share);
    runProgram(runAfter, runAfterWait,
               [this, powerOff](const std::optional<Platform::ProgramRun>&) { endRun(powerOff); });
}

RunEnding RunController::endingOf(std::int32_t errors) const
{
    if (m_refused)
        return RunEnding::Refused;
    if (m_cancelledForEnd)
        return RunEnding::Interrupted;
    if (m_cancelledByUser)
        return RunEnding::Cancelled;
    return errors > 0 ? RunEnding::Failed : RunEnding::Succeeded;
}

void RunController::endRun(std::optional<bool> powerOff)
{
    // A run the end of the program cut short asked nobody to switch the computer off.
    const bool switchOff = powerOff.has_value() && !m_cancelledForEnd && m_powerOffAllowed;
    const bool force = powerOff.value_or(false);
    m_env.view.ShowActive(false, {});
    m_runActive = false;
    m_active.reset();
    save();
    m_env.view.UpdateProfileList();
    // Told before the run's end is handled: that may end the program, and what is told (the
    // command on failure) must start while the end still waits for it.
    if (m_outcome && onOutcome)
        onOutcome(*std::exchange(m_outcome, std::nullopt));
    if (onRunEnded)
        onRunEnded();
    if (switchOff)
        m_env.platform.PowerOff(force);
}

void RunController::TBBBackupNowClick(std::optional<int> selectedRow)
{
    if (m_restoring)
        m_env.dialogs.ShowInfo(RestoreUnderWayText);
    else if (m_runActive)
        m_env.dialogs.ShowInfo("Ein anderes Profil ist gerade aktiv. Versuchen Sie es etwas später nochmals.");
    else if (selectedRow) {
        m_nextByUser = true;
        BackupProfile(*selectedRow);
        m_nextByUser = false;
    } else
        m_env.dialogs.ShowInfo("Kein Profil ausgewählt.");
}

void RunController::TBBBreakClick()
{
    if (m_runActive)
        m_cancelledByUser = true;
    m_control.abortRequested = true;
}

void RunController::CancelForEnd()
{
    m_cancelledForEnd = true;
    m_control.abortRequested = true;
}

void RunController::NoPowerOffFromNowOn()
{
    m_powerOffAllowed = false;
}

void RunController::SetWorkerPaused(bool paused)
{
    m_control.paused = paused;
}

bool RunController::CheckDestVolume(const std::string& destination, const std::string& expectedName)
{
    for (;;) {
        const VolumeInfo volume = m_env.platform.VolumeOf(destination);
        if (SameText(volume.label, expectedName))
            return true;
        const Message question("Bitte Diskette mit dem Namen %1 in Laufwerk %2 legen",
                               {expectedName, volume.mountPoint});
        if (!m_env.dialogs.AskOkCancel(question))
            return false;
    }
}

bool RunController::ZipItGetNextDisk(int number, int total, const std::string& drive)
{
    // The mount point stands where a drive letter stood: "/media/stick:\".
    const bool slash = drive.size() > 1 && drive.back() == '/';
    const std::string place = slash ? drive.substr(0, drive.size() - 1) : drive;
    if (total != 0)
        return m_env.dialogs.AskOkCancel(Message("Bitte Diskette Nr. %1 von %2 in Laufwerk %3:\\ einlegen",
                                                 {std::to_string(number), std::to_string(total), place}));
    return m_env.dialogs.AskOkCancel(
        Message("Bitte Diskette Nr. %1 in Laufwerk %2:\\ einlegen", {std::to_string(number), place}));
}

void RunController::WorkerObserver::ShowScanStatus(ScanPhase phase, const std::string& folder)
{
    m_controller.m_env.observer.ShowScanStatus(phase, folder);
}

void RunController::WorkerObserver::ResetProgress()
{
    m_controller.m_env.observer.ResetProgress();
}

void RunController::WorkerObserver::SetFilesToDo(std::int64_t filesToDo)
{
    m_controller.m_env.observer.SetFilesToDo(filesToDo);
}

void RunController::WorkerObserver::ShowProgress(std::int64_t filesDone, std::int64_t bytesDone)
{
    m_controller.m_env.observer.ShowProgress(filesDone, bytesDone);
}

bool RunController::WorkerObserver::askOnMainThread(std::function<bool()> question)
{
    return AskOnMainThread<bool>(m_controller.m_env.toMainThread, m_controller.m_control, std::move(question), false);
}

bool RunController::WorkerObserver::CheckDest(const std::string& destination, const std::string& expectedName)
{
    return askOnMainThread(
        [this, destination, expectedName] { return m_controller.CheckDestVolume(destination, expectedName); });
}

bool RunController::WorkerObserver::NextDisk(int number, int total, const std::string& drive)
{
    return askOnMainThread(
        [this, number, total, drive] { return m_controller.ZipItGetNextDisk(number, total, drive); });
}
