#pragma once

#include "app/Dialogs.h"
#include "app/ProgramView.h"
#include "app/RunOutcome.h"
#include "base/ProgramSettings.h"
#include "engine/BackupThread.h"
#include "profiles/ProfileFile.h"
#include "profiles/ProfileList.h"
#include "scheduler/TaskDispatch.h"

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <thread>

/// Why a backup cannot start now, and why a restore cannot.
inline constexpr const char* RestoreUnderWayText =
    "Eine Wiederherstellung läuft gerade. Die Sicherung kann erst nach ihrem Ende beginnen.";
inline constexpr const char* BackupUnderWayText =
    "Eine Sicherung läuft gerade. Die Wiederherstellung kann erst nach ihrem Ende beginnen.";

/// What the run controller works with; it owns none of it.
struct RunEnvironment
{
    ProfileList& profiles;
    ProfileFile& profileFile;
    /// Appends a run's report to the log (Backup.log, trimmed to the LogSize setting).
    std::function<void(const std::vector<std::string>& report)> appendToLog;
    const ProgramSettings& settings;
    Platform& platform;
    FileSystem& fs;
    std::function<std::unique_ptr<ArchiveAttribute>()> openArchiveState;
    RunObserver& observer;
    ProgramView& view;
    Dialogs& dialogs;
    /// Runs a task on the main thread (the worker's end arrives through it).
    std::function<void(std::function<void()>)> toMainThread;
    /// The folder of the program's own files, which no run may copy, move, delete or empty.
    std::string dataFolder;
};

/// Starts a run of one profile at a time and ends it: stamps the profile, runs the programs
/// before and after, checks the destination, starts the worker, and when it has ended writes the
/// report to the log and the statistics into the profile that ran (followed by its identity, so
/// rows may move meanwhile). Main thread only; a program the run waits for is waited for on a
/// helper thread, and the run goes on on the main thread once it has ended.
class RunController final : public RunStarter
{
public:
    explicit RunController(RunEnvironment environment);
    /// Waits for a running worker and for a program the run waits for.
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    bool RunActive() const override { return m_runActive; }
    /// The row of the running profile.
    std::optional<int> ActiveProfileIndex() const;
    /// The identity of the running profile.
    std::optional<ProfileId> ActiveProfileId() const { return m_active; }
    RunControl& control() { return m_control; }

    /// A restore takes the controller as a run does: no backup starts meanwhile (the scheduler
    /// waits for its end), and cancel, pause and the program's end reach the restore through
    /// control(). False, and nothing changes, while a run or another restore is active.
    bool BeginRestore();
    /// The restore has ended: runs may start again.
    void EndRestore();
    bool RestoreActive() const { return m_restoring; }

    /// Starts a run of the profile in row; does nothing while a run is active.
    void BackupProfile(int row) override;
    /// The command "Sicherung jetzt durchführen" for the selected row.
    void TBBBackupNowClick(std::optional<int> selectedRow);
    /// The command "Sicherung abbrechen": the worker stops at its next check.
    void TBBBreakClick();
    /// The program ends: the run stops at its next check and never switches the computer off.
    void CancelForEnd();
    /// The program is told to end from outside: from now on no run switches the computer off
    /// (the system may be restarting, or only this program was meant to end).
    void NoPowerOffFromNowOn();
    /// While paused, a run waits before its next file (a cancel still ends it); runs started
    /// meanwhile wait too.
    void SetWorkerPaused(bool paused);
    /// Whether the destination's medium carries the expected label; asks for it until it does
    /// or the user cancels.
    bool CheckDestVolume(const std::string& destination, const std::string& expectedName);
    /// Asks for the next medium of a split archive (ZipItGetNextDisk); true for OK.
    bool ZipItGetNextDisk(int number, int total, const std::string& drive);
    /// Blocks until the worker, or the program the run waits for, has ended (what follows is then
    /// waiting on the main thread).
    void WaitForWorker();

    /// Called on the main thread after every run, once the controller is idle again.
    std::function<void()> onRunEnded;
    /// Told how every run of a profile ended, right after onRunEnded.
    std::function<void(const RunOutcome&)> onOutcome;

private:
    // The observer the worker reports to: progress goes straight to the program's observer; the
    // medium question is answered on the main thread while the worker waits.
    class WorkerObserver final : public RunObserver
    {
    public:
        explicit WorkerObserver(RunController& controller) : m_controller(controller) {}
        void ShowScanStatus(ScanPhase phase, const std::string& folder) override;
        void ResetProgress() override;
        void SetFilesToDo(std::int64_t filesToDo) override;
        void ShowProgress(std::int64_t filesDone, std::int64_t bytesDone) override;
        bool CheckDest(const std::string& destination, const std::string& expectedName) override;
        bool NextDisk(int number, int total, const std::string& drive) override;

    private:
        // The worker waits while the main thread asks.
        bool askOnMainThread(std::function<bool()> question);

        RunController& m_controller;
    };

    using ProgramEnded = std::function<void(std::optional<Platform::ProgramRun>)>;

    /// The run after its program before: logon, destination check, worker.
    void startRun(DateTime now, const std::optional<std::string>& programNote);
    void backupDone(RunResult result);
    /// powerOff: the force of the power-off that follows the run's end, if one does.
    void backupLog(const std::vector<std::string>& lines, std::int32_t errors, std::int32_t rate, std::int64_t size,
                   std::int64_t count, std::optional<bool> powerOff = std::nullopt);
    RunEnding endingOf(std::int32_t errors) const;
    /// The run's end once its program after has ended.
    void endRun(std::optional<bool> powerOff);
    /// Starts the program (nothing for an empty line) and calls then with how it went: at once
    /// without wait, else on the main thread once it has ended.
    void runProgram(const std::string& commandLine, bool wait, ProgramEnded then);
    void joinProgramThread();
    /// The destination as it reads at the run's start moment.
    std::string expandedDestination(const TProfile& profile, DateTime now) const;
    void save();

    RunEnvironment m_env;
    WorkerObserver m_workerObserver{*this};
    RunControl m_control;
    bool m_runActive = false;
    bool m_restoring = false; // the active run is a restore
    bool m_cancelledForEnd = false;
    bool m_cancelledByUser = false;
    bool m_refused = false; // the run could not start
    bool m_powerOffAllowed = true;
    std::optional<ProfileId> m_active;
    std::optional<RunOutcome> m_outcome; // the ended run's, from its report to its end
    bool m_netConnectionMade = false;
    std::int64_t m_reference = NeverRan;        // what the running profile's files were compared with
    std::int64_t m_started = 0;                 // when it started, in seconds since 1970
    std::optional<std::string> m_referenceNote; // why the run takes every file, when it must
    std::string m_share;
    bool m_nextByUser = false;                     // the run about to start was asked for in the window
    bool m_startedByUser = false;                  // the running one was
    std::optional<VolumeInfo> m_destinationVolume; // where a folder destination lay at the run's start
    std::unique_ptr<ArchiveAttribute> m_archive;
    std::unique_ptr<BackupThread> m_worker;
    std::unique_ptr<BackupThread> m_finished; // joined on the main thread, never by itself
    std::thread m_programThread;              // waits for the program before or after a run
};
