#include "app/Program.h"

#include "app/DataFolder.h"
#include "app/InterruptedRuns.h"
#include "base/Text.h"
#include "scheduler/NextRun.h"
#include "scheduler/Overdue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace {

constexpr const char* LogFileName = "Backup.log";
constexpr const char* ArchiveStateFileName = "archive-state.db";

} // namespace

Program::Program(ProgramOptions options, Platform& platform, FileSystem& fs, FrontEnd& frontEnd)
    : m_options(std::move(options)), m_platform(platform), m_fs(fs), m_frontEnd(frontEnd)
{
}

Program::~Program()
{
    m_controller.reset(); // waits for a worker that might still run
}

std::optional<int> Program::Start()
{
    const std::filesystem::path& data = m_options.dataFolder;
    std::error_code error;
    const bool existed = std::filesystem::is_directory(data, error);
    if (existed) {
        m_lock = m_platform.LockDataFolder((data / LockFileName).string());
        if (!m_lock->held() && !m_lock->heldElsewhere()) {
            std::cerr << "tresorio: " << (data / LockFileName).string()
                      << " kann nicht gesperrt werden: " << m_lock->error() << '\n';
            return 1;
        }
        if (!m_lock->held()) {
            // Another copy runs on this data folder: hand the profile over and write nothing.
            if (!m_options.profileName) {
                // The running copy shows itself.
                Channel::Send(m_platform, data, ShowCommand);
                std::cerr << "tresorio: Tresorio läuft bereits für " << data.string() << '\n';
                return 0;
            }
            if (const auto handedOver = handOver())
                return *handedOver;
        }
    } else {
        // A new data folder is the user's alone: the log names every file that was backed up.
        std::filesystem::create_directories(data, error);
        std::filesystem::permissions(data, std::filesystem::perms::owner_all, error);
        m_lock = m_platform.LockDataFolder((data / LockFileName).string());
        if (!m_lock->held()) {
            std::cerr << "tresorio: Ordner " << data.string() << " kann nicht verwendet werden: "
                      << (m_lock->error().empty() ? "von einer anderen Kopie belegt" : m_lock->error()) << '\n';
            return 1;
        }
    }

    m_store = std::make_unique<QtSettingsStore>(data / SettingsFileName);
    m_settings = ReadProgramSettings(*m_store);
    m_profileFile = std::make_unique<ProfileFile>(data / ProfileFileName);
    m_log = std::make_unique<LogFile>(data / LogFileName);
    const ProfileDefaults defaults = ProfileDefaultsFrom(m_settings);
    const ProfileFileLoad load =
        m_profileFile->LoadProfiles(m_profiles, defaults, NextRunRecalculationAt(m_platform.Now()));
    // What start-up finds is told without waiting for an answer: the scheduler starts all the
    // same, and a stop meanwhile ends the program.
    if (load.unreadable)
        m_coreDialogs.ShowWarning(Message("%1 ist keine lesbare Profildatei. Sie wird beim Speichern als "
                                          "Backup.bpf.bak aufbewahrt.",
                                          {m_profileFile->path().string()}));
    if (!load.cannotRead.empty())
        m_coreDialogs.ShowError(
            Message("%1 kann nicht gelesen werden (%2). Sie bleibt, wie sie ist, und wird nicht überschrieben.",
                    {m_profileFile->path().string(), load.cannotRead}));
    if (load.loaded == 0 && load.cannotRead.empty() && (!load.existed || load.firstLineEmpty)) {
        if (const auto failure = m_profileFile->SaveProfiles(m_profiles))
            m_coreDialogs.ShowError(*failure);
        m_profileFile->LoadProfiles(m_profiles, defaults, NextRunRecalculationAt(m_platform.Now()));
    }

    // A run the program was killed during shows as interrupted, with its report, before the
    // next one starts.
    const std::vector<RunOutcome> interrupted = TakeInterruptedRuns(m_profiles);
    if (!interrupted.empty()) {
        for (const RunOutcome& outcome : interrupted)
            m_log->AppendReport(outcome.report, logLimit());
        saveProfiles();
    }

    m_failureCommands = std::make_unique<FailureCommands>(m_platform, [this] {
        QMetaObject::invokeMethod(
            this, [this] { writeFailureNotes(); }, Qt::QueuedConnection);
    });
    m_controller = std::make_unique<RunController>(RunEnvironment{
        m_profiles, *m_profileFile,
        [this](const std::vector<std::string>& report) { m_log->AppendReport(report, logLimit()); }, m_settings,
        m_platform, m_fs, [this, data] { return m_platform.OpenArchiveState((data / ArchiveStateFileName).string()); },
        m_frontEnd, m_frontEnd, m_coreDialogs,
        [this](std::function<void()> task) { QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection); },
        data.string()});
    m_dispatcher = std::make_unique<TaskDispatcher>(m_profiles, *m_controller);
    m_controller->onRunEnded = [this] { runEnded(); };
    m_controller->onOutcome = [this](const RunOutcome& outcome) { tellOutcome(outcome); };
    for (const RunOutcome& outcome : interrupted)
        tellOutcome(outcome);
    if (m_options.endSession) {
        ToldToEnd(false);
        return m_exitStatus;
    }
    m_frontEnd.ShowActive(false, {});
    refreshNextTask();
    m_frontEnd.UpdateProfileList();

    if (m_options.profileName) {
        // Run the named profile and end when it has ended; the scheduler stays off.
        for (int row = 0; row < m_profiles.count(); ++row) {
            if (SameText(m_profiles.at(row).Name, *m_options.profileName)) {
                m_noFurtherActions = true;
                m_commandLineMode = true;
                m_commandLineRun = m_profiles.idAt(row);
                m_channel = std::make_unique<Channel>(
                    m_platform, data,
                    [this](const ChannelMessage& m, const Channel::Reply& reply) { received(m, reply); });
                m_lock->Publish(m_channel->ServerPath());
                m_controller->BackupProfile(row);
                return std::nullopt;
            }
        }
        std::cerr << "tresorio: " << OutcomeOf(ChannelAnswer::NoProfile, *m_options.profileName, {}).message << '\n';
        return 2;
    }

    if (m_settings.Suspend)
        SetPaused(true);
    m_dispatcher->ScheduleStartupProfiles(m_platform.Now());
    refreshNextTask();
    m_frontEnd.UpdateProfileList(); // the profiles that run at start were stamped
    // Without a profile the window shows at once, so that the user can make one.
    if (m_profiles.empty())
        m_frontEnd.ComeToFront();
    m_channel = std::make_unique<Channel>(
        m_platform, data, [this](const ChannelMessage& m, const Channel::Reply& reply) { received(m, reply); });
    m_lock->Publish(m_channel->ServerPath());
    if (!m_channel->listening())
        m_coreDialogs.ShowWarning("Nachrichten anderer Programme können nicht empfangen werden.");

    // The end of the session waits for the profiles that run at the end, as long as there are
    // any; the system lets it wait only so long (logind's InhibitDelayMaxSec).
    m_inhibitor = std::make_unique<SessionInhibitor>();
    m_inhibitor->onSessionEnd = [this] { ToldToEnd(false); };
    m_inhibitor->onSleep = [this] { saveAll(); };
    m_inhibitor->onUnavailable = [this](const std::string& reason) {
        m_coreDialogs.ShowWarning(Message("Das Ende der Sitzung kann nicht aufgehalten werden (%1). Profile, die beim "
                                          "Beenden laufen, haben nur so viel Zeit, wie das System Tresorio beim "
                                          "Herunterfahren lässt.",
                                          {reason}));
    };
    m_inhibitor->Hold(AnyAtExit(m_profiles));

    if (m_ending)
        return m_exitStatus;
    tellOverdue(m_platform.Now());
    m_timer.setInterval(FirstTickInterval(m_settings.WaitAfterAutostart, AutostartEntry(m_platform), m_options.tickMs));
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    m_timer.start();
    return std::nullopt;
}

std::int64_t Program::logLimit() const
{
    return static_cast<std::int64_t>(m_settings.LogSize) * 1024; // the setting counts KB
}

void Program::tick()
{
    if (m_ending)
        return;
    m_timer.setInterval(m_options.tickMs);
    const DateTime now = m_platform.Now();
    m_dispatcher->TaskDispatch(now);
    m_inhibitor->Hold(AnyAtExit(m_profiles));
    tellOverdue(now);
}

void Program::tellOutcome(const RunOutcome& outcome)
{
    m_frontEnd.TellOutcome(outcome);
    if (IsFailure(outcome.ending) && !m_settings.RunOnFailure.empty())
        m_failureCommands->Start(m_settings.RunOnFailure, outcome, logPath().string(), m_options.commandLimitSeconds);
}

void Program::finishFailureCommands()
{
    // A command on failure gets the end's wait to finish, and a second request to end is heard
    // meanwhile; then it is killed, and that is noted.
    QElapsedTimer waited;
    waited.start();
    while (m_failureCommands->Running() && !m_endAtOnce &&
           waited.elapsed() < std::int64_t{m_options.endWaitSeconds} * 1000) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    m_failureCommands->Finish();
    writeFailureNotes();
}

void Program::writeFailureNotes()
{
    for (const std::vector<std::string>& report : m_failureCommands->TakeNotes())
        m_log->AppendReport(report, logLimit());
}

OverdueState Program::OverdueOf(const TProfile& profile) const
{
    return ::OverdueOf(profile, m_platform.Now(), m_settings.OverdueDays);
}

void Program::tellOverdue(DateTime now)
{
    // Once a day for each profile, and never for the one that runs now: its end will tell.
    const auto today = static_cast<std::int64_t>(std::floor(now));
    const std::optional<ProfileId> running = m_controller->RunActive() ? m_controller->ActiveProfileId() : std::nullopt;
    std::vector<std::pair<std::string, int>> overdue;
    for (int row = 0; row < m_profiles.count(); ++row) {
        const TProfile& profile = m_profiles.at(row);
        const OverdueState state = ::OverdueOf(profile, now, m_settings.OverdueDays);
        if (!state.overdue || m_profiles.idAt(row) == running)
            continue;
        overdue.emplace_back(profile.Name, state.daysSinceSuccess.value_or(0));
        auto [told, fresh] = m_overdueToldOn.try_emplace(profile.Name, today);
        if (!fresh && told->second == today)
            continue;
        told->second = today;
        RunOutcome outcome;
        outcome.profile = profile.Name;
        outcome.ending = RunEnding::Overdue;
        outcome.daysSinceSuccess = state.daysSinceSuccess.value_or(0);
        outcome.firstError = OverdueText(outcome.daysSinceSuccess);
        tellOutcome(outcome);
    }
    // A profile becomes overdue by the clock alone: the views learn of it here.
    if (overdue != m_overdue) {
        m_overdue = std::move(overdue);
        m_frontEnd.UpdateProfileList();
    }
}

void Program::SetPaused(bool paused)
{
    m_dispatcher->SetPaused(paused);
    m_controller->SetWorkerPaused(paused);
    // A run from the command line holds its own run only: the scheduler's pause, which the next
    // start takes up, is not its to change.
    if (!m_commandLineMode)
        m_settings.Suspend = paused;
    m_frontEnd.ShowPaused(paused, m_dispatcher->StatusWord());
    refreshNextTask();
    m_frontEnd.UpdateProfileList();
}

void Program::refreshNextTask()
{
    m_dispatcher->GetNextTask();
    m_frontEnd.ShowNextTask(m_dispatcher->NextTaskTexts());
}

std::filesystem::path Program::logPath() const
{
    return m_log->path();
}

bool Program::BeginRestore()
{
    if (m_controller && m_controller->BeginRestore())
        return true;
    m_coreDialogs.ShowInfo(Message(BackupUnderWayText));
    return false;
}

bool Program::EndRestore(const std::vector<std::string>& report)
{
    const bool written = report.empty() || AppendToLog(report);
    if (!m_controller)
        return written;
    m_controller->control().paused = SchedulerPaused();
    m_controller->EndRestore();
    refreshNextTask();
    return written;
}

RunControl& Program::runControl()
{
    return m_controller->control();
}

bool Program::AppendToLog(const std::vector<std::string>& report)
{
    return m_log && m_log->AppendReport(report, logLimit());
}

bool Program::RunActive() const
{
    return m_controller && m_controller->RunActive();
}

std::optional<int> Program::ActiveProfileIndex() const
{
    return m_controller ? m_controller->ActiveProfileIndex() : std::nullopt;
}

bool Program::SchedulerPaused() const
{
    return m_dispatcher && m_dispatcher->SchedulerPaused();
}

void Program::RunNow(std::optional<int> selectedRow)
{
    m_controller->TBBBackupNowClick(selectedRow);
}

void Program::CancelRun()
{
    m_controller->TBBBreakClick();
}

bool Program::Autostart()
{
    return AutostartEntry(m_platform);
}

bool Program::SetAutostart(bool on)
{
    return AutostartEntry(m_platform, on, [this](const std::string& why) { m_coreDialogs.ShowError(why); });
}

void Program::SaveSettings()
{
    m_frontEnd.KeepViewSettings();
    SaveRegistry(m_settings, *m_store);
    m_store->sync();
}

void Program::CloseAndEnd(bool noFurtherActions)
{
    m_noFurtherActions = noFurtherActions;
    SaveSettings();
    saveProfiles();
    Stop(noFurtherActions);
}

Program::LauncherPlace Program::launcherPlace()
{
    const std::filesystem::path& data = m_options.dataFolder;
    const bool usual = ResolveDataFolder(DataFolderSourcesOfProcess(std::nullopt)) == data;
    return {m_platform.SpecialFolderPath(SpecialFolder::Desktop), m_platform.ExecutablePath(),
            usual ? std::string() : data.string()};
}

DesktopLauncherResult Program::MakeLauncher(const std::string& name)
{
    const LauncherPlace place = launcherPlace();
    std::error_code error;
    std::filesystem::create_directories(place.desktop, error);
    return WriteDesktopLauncher(place.desktop, place.program, place.dataFolder, name);
}

std::optional<std::filesystem::path> Program::LauncherOf(const std::string& name)
{
    const LauncherPlace place = launcherPlace();
    return FindDesktopLauncher(place.desktop, place.program, place.dataFolder, name);
}

Status Program::MoveLauncher(const std::string& oldName, const std::string& newName)
{
    const std::optional<std::filesystem::path> old = LauncherOf(oldName);
    if (!old)
        return {};
    // The new one first: a failure leaves the old launcher as it was.
    const DesktopLauncherResult made = MakeLauncher(newName);
    if (!made.status.ok() || made.file == *old)
        return made.status;
    return RemoveDesktopLauncher(*old);
}

Status Program::RemoveLauncher(const std::string& name)
{
    const std::optional<std::filesystem::path> launcher = LauncherOf(name);
    return launcher ? RemoveDesktopLauncher(*launcher) : Status{};
}

void Program::MoveRow(int from, int before)
{
    if (from < 0 || from >= m_profiles.count() || before < 0 || before > m_profiles.count() || before == from)
        return;
    m_profiles.moveBefore(from, before);
    ProfilesChanged();
}

void Program::SortBy(ProfileColumn column)
{
    SortProfiles(m_profiles, column);
    ProfilesChanged();
}

void Program::ProfilesChanged()
{
    saveProfiles();
    refreshNextTask();
    m_frontEnd.UpdateProfileList();
}

ChannelAnswer Program::requestRun(const std::string& name)
{
    const std::optional<int> active = m_controller->ActiveProfileIndex();
    ChannelAnswer answer = ChannelAnswer::NoProfile;
    for (int row = 0; row < m_profiles.count(); ++row) {
        if (!SameText(m_profiles.at(row).Name, name))
            continue;
        if (active == row) {
            if (answer == ChannelAnswer::NoProfile)
                answer = ChannelAnswer::RunningNow;
            continue;
        }
        m_profiles.at(row).RunRequest = true;
        answer = ChannelAnswer::Taken;
    }
    return answer;
}

void Program::received(const ChannelMessage& message, const Channel::Reply& reply)
{
    const std::vector<ChannelCommand> commands = CommandsOf(message, m_platform.ComputerName());
    // The sender learns whether its request was taken before anything it asks for happens: a
    // stop ends this program, and with it the connection.
    ChannelAnswer answer = commands.empty() ? ChannelAnswer::Unknown : ChannelAnswer::Taken;
    bool stop = false;
    for (const ChannelCommand& command : commands) {
        switch (command.kind) {
        case ChannelCommand::Kind::RunProfile:
            answer = requestRun(command.profileName);
            break;
        case ChannelCommand::Kind::Show:
            m_frontEnd.ComeToFront();
            break;
        case ChannelCommand::Kind::Stop:
            stop = true;
            break;
        case ChannelCommand::Kind::Pause:
            if (!stop)
                SetPaused(true);
            break;
        case ChannelCommand::Kind::Continue:
            if (!stop)
                SetPaused(false);
            break;
        case ChannelCommand::Kind::None:
            break;
        }
    }
    reply(answer);
    if (stop) {
        SetPaused(false);
        ToldToEnd(true);
    }
}

std::optional<int> Program::handOver()
{
    // The copy that runs may be starting (its channel not up yet) or ending: the run is handed
    // over, or this copy runs it itself once the other one is gone. Never both, never neither;
    // and the start says what became of it.
    const std::filesystem::path& data = m_options.dataFolder;
    const std::string& name = *m_options.profileName;
    // No profile's name holds a line break; sent, its second line would read as a command.
    if (name.find_first_of("\r\n") != std::string::npos) {
        std::cerr << "tresorio: " << OutcomeOf(ChannelAnswer::NoProfile, name, {}).message << '\n';
        return 2;
    }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < HandOverTimeoutMs) {
        const ChannelAnswer answer = Channel::Send(m_platform, data, RunProfileCommand(name));
        if (answer != ChannelAnswer::NoCopy) {
            const SenderOutcome outcome = OutcomeOf(answer, name, data.string());
            if (!outcome.message.empty())
                std::cerr << "tresorio: " << outcome.message << '\n';
            return outcome.exitStatus;
        }
        QThread::msleep(100);
        m_lock = m_platform.LockDataFolder((data / LockFileName).string());
        if (m_lock->held())
            return std::nullopt;
    }
    std::cerr << "tresorio: Die laufende Kopie nimmt keine Nachrichten an; \"" << name << "\" wird nicht gesichert.\n";
    return 1;
}

void Program::runEnded()
{
    refreshNextTask();
    if (!m_commandLineMode)
        return;
    if (m_commandLineRun) {
        const TProfile* ran = m_profiles.find(*m_commandLineRun);
        m_exitStatus = ran && ran->Errors == 0 ? 0 : 1;
        m_commandLineRun.reset();
        // Other starts handed their runs over meanwhile: they run before the program ends, and
        // no more are taken from now on (those starts then run their profiles themselves).
        if (m_channel) {
            m_channel->StopListening();
            m_channel->Drain(HandOverTimeoutMs / 2);
        }
    }
    for (int row = 0; row < m_profiles.count(); ++row) {
        if (m_profiles.at(row).RunRequest) {
            m_profiles.at(row).RunRequest = false;
            m_controller->BackupProfile(row);
            return;
        }
    }
    Stop(true);
}

void Program::waitForRun()
{
    // What the worker hands to this thread (a question about the medium, the run's end) is taken
    // here while waiting, and so is a second request to end. A program before or after the run
    // is waited for only so long: then it is left running, and its run goes on without it.
    QElapsedTimer waited;
    waited.start();
    while (m_controller->RunActive() && !m_endAtOnce) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (waited.elapsed() >= std::int64_t{m_options.endWaitSeconds} * 1000) {
            if (m_platform.StopWaitingForPrograms())
                m_coreDialogs.ShowWarning(Message("Ein Programm vor oder nach der Sicherung läuft nach %1 s noch; "
                                                  "Tresorio endet, ohne länger darauf zu warten.",
                                                  {std::to_string(m_options.endWaitSeconds)}));
            waited.restart();
        }
        if (m_controller->RunActive())
            QThread::msleep(5);
    }
    if (!m_endAtOnce)
        m_controller->WaitForWorker();
}

void Program::HearEndRequests()
{
    m_platform.WhenAskedToEnd([this](Platform::EndRequest request) { askedToEnd(request); });
}

void Program::askedToEnd(Platform::EndRequest request)
{
    // A second interrupt (Ctrl+C again, another SIGTERM) while the end waits for a run means now.
    if (request == Platform::EndRequest::Interrupt && ++m_interrupts > 1 && m_ending) {
        m_endAtOnce = true;
        return;
    }
    ToldToEnd(false);
}

void Program::EndWithoutDisplay()
{
    // Nothing here may touch a window: the display is gone.
    if (!m_store || !m_lock || !m_lock->held())
        return;
    SaveRegistry(m_settings, *m_store);
    m_store->sync();
    saveAll();
    // Ending already, or a run from the command line: the rest is the next start's (a run cut off
    // now shows there as interrupted).
    if (m_ending || m_noFurtherActions)
        return;
    m_lock.reset();
    m_platform.ContinueAs({"--headless", "--end-session", "--end-wait", std::to_string(m_options.endWaitSeconds),
                           "--data-dir", m_options.dataFolder.string()});
}

void Program::Stop(bool noFurtherActions)
{
    end(noFurtherActions);
}

void Program::ToldToEnd(bool noFurtherActions)
{
    if (m_controller)
        m_controller->NoPowerOffFromNowOn();
    end(noFurtherActions);
}

void Program::end(bool noFurtherActions)
{
    if (m_ending)
        return;
    m_ending = true;
    m_noFurtherActions = m_noFurtherActions || noFurtherActions;
    m_frontEnd.ProgramEnding();
    cleanUp();
    // A report that could not be written (a full disk, an unwritable log) is a failure a script
    // must learn of, whatever the run itself found.
    if (m_log && m_log->hasPending())
        m_exitStatus = 1;
    if (m_endAtOnce) {
        // The worker may be stuck in a file; what it did is kept, and the next start reports
        // the run as interrupted.
        if (m_commandLineRun)
            m_exitStatus = 1;
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(m_exitStatus);
    }
    const int status = m_exitStatus;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
}

void Program::cleanUp()
{
    m_timer.stop();
    m_channel.reset();
    if (!m_controller)
        return;
    if (m_controller->RunActive()) {
        // A run in progress is cancelled, and its report and statistics are kept.
        m_controller->CancelForEnd();
        waitForRun();
    }
    if (!m_noFurtherActions) {
        // The runs at the end go through even when the scheduler is paused; the pause is kept
        // for the next start.
        m_controller->SetWorkerPaused(false);
        for (int row = 0; row < m_profiles.count() && !m_endAtOnce; ++row) {
            if (m_profiles.at(row).OnShutDown) {
                m_controller->BackupProfile(row);
                waitForRun();
            }
        }
    }
    finishFailureCommands();
    SaveSettings();
    saveAll();
    // Given back only now: this may run in the inhibitor's own call.
    if (m_inhibitor)
        m_inhibitor->Hold(false);
    m_lock.reset();
}

void Program::saveProfiles()
{
    if (const auto failure = m_profileFile->SaveProfiles(m_profiles))
        m_coreDialogs.ShowError(*failure);
    for (const std::string& warning : m_profileFile->TakeWarnings())
        m_coreDialogs.ShowWarning(warning);
}

void Program::saveAll()
{
    saveProfiles();
    if (!m_log->WritePending(logLimit()))
        m_coreDialogs.ShowError(Message("Protokoll %1 kann nicht geschrieben werden.", {m_log->path().string()}));
}
