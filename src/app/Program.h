#pragma once

#include "app/Channel.h"
#include "app/CommandLine.h"
#include "app/CoreDialogs.h"
#include "app/FailureCommands.h"
#include "app/FrontEnd.h"
#include "app/QtSettingsStore.h"
#include "app/RunController.h"
#include "app/SessionInhibitor.h"
#include "base/ProgramSettings.h"
#include "log/LogFile.h"
#include "platform/DataFolderLock.h"
#include "platform/DesktopLauncher.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "profiles/ProfileFile.h"
#include "profiles/ProfileSort.h"
#include "scheduler/Overdue.h"
#include "scheduler/TaskDispatch.h"

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

/// How long a start with a profile name tries to hand its run over to the copy that runs.
inline constexpr int HandOverTimeoutMs = 10000;

struct ProgramOptions
{
    std::filesystem::path dataFolder;
    std::optional<std::string> profileName; // run this profile and end
    int tickMs = 10000;                     // the scheduler tick
    int endWaitSeconds = DefaultEndWaitSeconds;
    bool endSession = false;                              // start only to end as at the end of the session
    int commandLimitSeconds = DefaultCommandLimitSeconds; // of the command on failure
};

/// The running program: settings, profiles, the run controller and the dispatcher, driven by
/// the Qt event loop. Start() runs the start-up sequence; the program ends through Stop (its exit
/// commands, the end of a command-line run) or ToldToEnd (a signal, the end of the session,
/// "TRSROStop"), which clean up exactly once. Nothing of the end waits for a person.
class Program final : public QObject
{
public:
    Program(ProgramOptions options, Platform& platform, FileSystem& fs, FrontEnd& frontEnd);
    ~Program() override;
    Q_DISABLE_COPY_MOVE(Program)

    /// The start-up sequence; nothing to go on with the event loop, else the exit status now.
    std::optional<int> Start();
    /// Ends the program: cancels a run and waits for its report, runs the profiles for the end
    /// (unless noFurtherActions), saves settings and profiles, then leaves the event loop.
    void Stop(bool noFurtherActions);
    /// Ends the program because it was told to from outside (a signal, the end of the session,
    /// "TRSROStop"): as Stop, and no run switches the computer off any more.
    void ToldToEnd(bool noFurtherActions);
    /// From now on the system's requests to end (signals) end the program: the first as
    /// ToldToEnd, a second interrupt during the end at once, once everything is saved.
    void HearEndRequests();
    /// The display went away under the windows, and the toolkit ends the process: what is in
    /// memory is written, and the end goes on in the program started anew without windows, which
    /// runs the profiles for the end. Returns only when there is nothing more to do or that start
    /// failed.
    void EndWithoutDisplay();
    /// Whether the program has ended or is ending.
    bool ending() const { return m_ending; }

    // What the windows ask of the program.

    ProfileList& profiles() { return m_profiles; }
    Platform& platform() { return m_platform; }
    /// Whether the profile is overdue now, with the margin of the settings.
    OverdueState OverdueOf(const TProfile& profile) const;
    /// The overdue profiles, in list order, with their days since the last run without errors.
    const std::vector<std::pair<std::string, int>>& overdueProfiles() const { return m_overdue; }
    /// Started to run one profile given on the command line.
    bool startedWithProfileName() const { return m_options.profileName.has_value(); }
    ProgramSettings& settings() { return m_settings; }
    /// Where the settings are kept (settings.ini); the windows keep their placement there too.
    SettingsStore* settingsStore() { return m_store.get(); }
    const std::filesystem::path& dataFolder() const { return m_options.dataFolder; }
    std::filesystem::path logPath() const;
    bool RunActive() const;
    std::optional<int> ActiveProfileIndex() const;
    bool SchedulerPaused() const;
    /// "Sicherung jetzt durchführen" for the selected row.
    void RunNow(std::optional<int> selectedRow);
    /// "Sicherung abbrechen": the run stops at its next check.
    void CancelRun();
    /// A restore starts: false (and a message saying why) while a backup runs; meanwhile no
    /// backup starts, and "Sicherung abbrechen", the pause and the program's end reach the restore
    /// through runControl().
    bool BeginRestore();
    /// The restore has ended: its report (none when it never got so far) goes to the log, and
    /// the run's pause is the scheduler's again. Whether the report was written.
    bool EndRestore(const std::vector<std::string>& report);
    RunControl& runControl();
    FileSystem& fs() { return m_fs; }
    /// The pause of the scheduler (a run under way waits before its next file).
    void SetPaused(bool paused);
    /// Whether the program starts with the desktop session; SetAutostart registers or removes it
    /// and answers the same question.
    bool Autostart();
    bool SetAutostart(bool on);
    /// "Protokoll löschen": asks and deletes Backup.log; whether it did.
    bool DeleteLog(const std::function<bool(const std::string&)>& ask) { return m_log && m_log->DelLogFile(ask); }
    /// Closing the window: the settings are written, the program keeps running.
    void SaveSettings();
    /// "Schließen und Beenden" (with the profiles for the end) or "… (ohne weitere Aktionen)".
    void CloseAndEnd(bool noFurtherActions);
    /// "Link am Desktop erstellen": a launcher on the desktop that runs the named profile.
    DesktopLauncherResult MakeLauncher(const std::string& name);
    /// The launcher on the desktop that runs the named profile on this data folder, as this
    /// program made it; nothing when there is none.
    std::optional<std::filesystem::path> LauncherOf(const std::string& name);
    /// The launcher of oldName runs newName from now on (the profile was renamed).
    Status MoveLauncher(const std::string& oldName, const std::string& newName);
    /// Removes the launcher of the named profile (the profile was deleted).
    Status RemoveLauncher(const std::string& name);
    /// Moves row from just before the row at before (dragging a row).
    void MoveRow(int from, int before);
    /// Sorts the rows by a column.
    void SortBy(ProfileColumn column);
    /// After any change of the profiles: saved, the next one chosen again, the views refreshed.
    void ProfilesChanged();

private:
    /// Appends a report to Backup.log; whether it was written.
    bool AppendToLog(const std::vector<std::string>& report);
    void tick();
    /// The size the log is trimmed to, in bytes.
    std::int64_t logLimit() const;
    void received(const ChannelMessage& message, const Channel::Reply& reply);
    /// What a request to run the named profile finds: the rows it marks for a run.
    ChannelAnswer requestRun(const std::string& name);
    void runEnded();
    /// Tells the user, and whoever watches for failures, how a run ended.
    void tellOutcome(const RunOutcome& outcome);
    /// Writes what the commands on failure left for the log.
    void writeFailureNotes();
    /// At the end: waits for the commands on failure as long as the end waits, then kills them.
    void finishFailureCommands();
    /// Tells of each overdue profile, once a day.
    void tellOverdue(DateTime now);
    /// Hands the named profile's run to the copy that holds the data folder; the exit status,
    /// or nothing when that copy is gone and this one holds the folder now.
    std::optional<int> handOver();
    void end(bool noFurtherActions);
    void askedToEnd(Platform::EndRequest request);
    void cleanUp();
    void waitForRun();
    /// Where launchers go, the program they start and the data folder they name (empty for the
    /// one a plain start finds by itself).
    struct LauncherPlace
    {
        std::filesystem::path desktop;
        std::string program;
        std::string dataFolder;
    };
    LauncherPlace launcherPlace();
    /// Chooses the next profile again and shows it.
    void refreshNextTask();
    void saveProfiles();
    /// Writes the profiles and the log as they are now (before the system sleeps).
    void saveAll();

    ProgramOptions m_options;
    Platform& m_platform;
    FileSystem& m_fs;
    FrontEnd& m_frontEnd;
    CoreDialogs m_coreDialogs{m_frontEnd};
    std::unique_ptr<DataFolderLock> m_lock;
    std::unique_ptr<QtSettingsStore> m_store;
    ProgramSettings m_settings;
    ProfileList m_profiles;
    std::unique_ptr<ProfileFile> m_profileFile;
    std::unique_ptr<LogFile> m_log;
    std::unique_ptr<RunController> m_controller;
    std::unique_ptr<TaskDispatcher> m_dispatcher;
    std::unique_ptr<Channel> m_channel;
    std::unique_ptr<SessionInhibitor> m_inhibitor; // while profiles are to run at the end
    std::unique_ptr<FailureCommands> m_failureCommands;
    QTimer m_timer;
    bool m_noFurtherActions = false;
    bool m_ending = false;
    int m_interrupts = 0;           // SIGTERM and SIGINT received
    bool m_endAtOnce = false;       // a second interrupt came during the end
    bool m_commandLineMode = false; // started to run one profile: ends when no run is left
    std::optional<ProfileId> m_commandLineRun;
    std::map<std::string, std::int64_t> m_overdueToldOn;
    std::vector<std::pair<std::string, int>>
        m_overdue; // as the views last showed it // profile name → the day it was last told overdue
    int m_exitStatus = 0;
};
