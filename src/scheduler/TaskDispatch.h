#pragma once

#include "base/DateTime.h"
#include "profiles/ProfileList.h"
#include "scheduler/NextTaskView.h"

#include <string>

/// Starts runs; the run controller is one.
class RunStarter
{
public:
    virtual ~RunStarter() = default;
    virtual bool RunActive() const = 0;
    /// Starts a run of the profile in row; does nothing while a run is active.
    virtual void BackupProfile(int row) = 0;
};

inline constexpr DateTime NoNextTask = 999999.0;

/// The profile due next: the earliest NextRun (the earlier row on a tie) among the profiles
/// that have one, leaving out profiles run only by hand unless they run at start-up.
struct NextTask
{
    int row = -1;
    DateTime time = NoNextTask;
};
NextTask FindNextTask(const ProfileList& profiles);

/// The interval of the scheduler's first tick: after a start with the desktop session
/// (autostart registered) and a positive WaitAfterAutostart it waits that many minutes, so the
/// session can settle; every later tick comes after tickMs.
int FirstTickInterval(int waitAfterAutostartMinutes, bool autostartRegistered, int tickMs);

/// Whether any profile runs when the program ends.
bool AnyAtExit(const ProfileList& profiles);

/// Which profile runs when: the choice of the next profile, the scheduler tick, the pause and
/// the profiles that run at start-up. Main thread only; the time comes in with every call.
class TaskDispatcher final
{
public:
    TaskDispatcher(ProfileList& profiles, RunStarter& runs) : m_profiles(profiles), m_runs(runs) {}

    /// Chooses the next profile again (after every change of the rows, a run's end, a pause toggle).
    void GetNextTask();
    /// One tick: requested runs first, then the next profile when its moment has passed. When
    /// the clock went back since the last tick (the autumn change of summer time), the intervals'
    /// moments still to come are computed anew from the repeated hour; a moment of the clock in
    /// that hour runs once.
    void TaskDispatch(DateTime now);
    /// Every profile with OnStartup becomes due now.
    void ScheduleStartupProfiles(DateTime now);

    void SetPaused(bool paused);
    bool SchedulerPaused() const { return m_paused; }
    /// "Aktiv" or "Pausiert...".
    std::string StatusWord() const { return m_paused ? "Pausiert..." : "Aktiv"; }
    const NextTask& next() const { return m_next; }
    /// The status bar's text of the next task.
    std::string NextTaskText() const;
    /// What the status bar and the idle top panel show of the next task.
    NextTaskView NextTaskTexts() const;

private:
    ProfileList& m_profiles;
    RunStarter& m_runs;
    NextTask m_next;
    bool m_paused = false;
    DateTime m_lastTick = 0.0;
};
