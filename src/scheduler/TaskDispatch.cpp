#include "scheduler/TaskDispatch.h"

#include "profiles/ProfileRowTexts.h"
#include "scheduler/NextRun.h"

#include <algorithm>
#include <cstdint>
#include <limits>

NextTask FindNextTask(const ProfileList& profiles)
{
    NextTask next;
    for (int row = 0; row < profiles.count(); ++row) {
        const TProfile& p = profiles.at(row);
        // Period 0 means never, and a profile without a moment of its own (the loader gives a
        // schedule whose moment cannot be read a new one, anything else none) is never due
        // either: a deletion or a move above all must not start by accident. A run at start-up
        // counts whatever the schedule.
        const bool scheduled = p.Period > PeriodNotPeriodic && p.Period <= PeriodFree;
        const bool candidate = p.NextRun > NoRun && (scheduled || p.OnStartup);
        if (candidate && p.NextRun < next.time)
            next = {row, p.NextRun};
    }
    return next;
}

int FirstTickInterval(int waitAfterAutostartMinutes, bool autostartRegistered, int tickMs)
{
    if (waitAfterAutostartMinutes <= 0 || !autostartRegistered)
        return tickMs;
    // Counted wide: a timer takes at most INT_MAX milliseconds (some 24 days).
    const std::int64_t ms = std::int64_t{waitAfterAutostartMinutes} * 60000;
    return static_cast<int>(std::min<std::int64_t>(ms, std::numeric_limits<int>::max()));
}

bool AnyAtExit(const ProfileList& profiles)
{
    for (int row = 0; row < profiles.count(); ++row)
        if (profiles.at(row).OnShutDown)
            return true;
    return false;
}

void TaskDispatcher::GetNextTask()
{
    m_next = m_paused ? NextTask{} : FindNextTask(m_profiles);
}

void TaskDispatcher::TaskDispatch(DateTime now)
{
    // The schedule is kept in local time. When the clocks go back an hour, an interval's next
    // moment, computed in the first pass of that hour, would wait for the second pass to end: it
    // is computed anew, and the interval keeps its pace. A moment of the clock (a daily time, a
    // listed moment, a weekday, a day of the month) that fell into the hour has run in the first
    // pass and comes once: its next moment already lies beyond. When the clocks go forward, a
    // moment in the skipped hour has passed and runs at once.
    constexpr std::int64_t ClockBackMs = 60'000;
    if (m_lastTick > 0.0 && ToLinearMs(now) < ToLinearMs(m_lastTick) - ClockBackMs) {
        for (int row = 0; row < m_profiles.count(); ++row) {
            TProfile& p = m_profiles.at(row);
            if (p.Period == PeriodInterval && p.NextRun > now)
                p.NextRun = CalcNextRun(ScheduleOf(p), now);
        }
        GetNextTask();
    }
    m_lastTick = now;
    if (m_paused || m_runs.RunActive())
        return;
    // Runs another copy of the program asked for come first, in row order; one starts, the
    // others wait for the ticks after its end.
    for (int row = 0; row < m_profiles.count(); ++row) {
        TProfile& p = m_profiles.at(row);
        if (p.RunRequest && !m_runs.RunActive()) {
            p.RunRequest = false;
            m_runs.BackupProfile(row);
        }
    }
    if (m_runs.RunActive() || m_next.row < 0 || m_next.row >= m_profiles.count())
        return;
    if (ToLinearMs(now) > ToLinearMs(m_next.time))
        m_runs.BackupProfile(m_next.row);
}

void TaskDispatcher::ScheduleStartupProfiles(DateTime now)
{
    for (int row = 0; row < m_profiles.count(); ++row)
        if (m_profiles.at(row).OnStartup)
            m_profiles.at(row).NextRun = now;
}

void TaskDispatcher::SetPaused(bool paused)
{
    m_paused = paused;
    GetNextTask();
}

std::string TaskDispatcher::NextTaskText() const
{
    if (m_paused)
        return "Pausiert...";
    if (m_next.row < 0)
        return "Nächste Sicherung: Kein Profil aktiv";
    return "Nächste Sicherung: " + m_profiles.at(m_next.row).Name + " (" + FormatDateTime(m_next.time) + ")";
}

NextTaskView TaskDispatcher::NextTaskTexts() const
{
    NextTaskView view{NextTaskText(), "", "", ""};
    if (m_paused)
        view.profile = "Pausiert...";
    else if (m_next.row < 0)
        view.profile = "Kein Profil aktiv";
    else {
        const TProfile& p = m_profiles.at(m_next.row);
        const ProfileRowTexts texts = RefreshedRowTexts(p, false);
        view.profile = p.Name;
        view.mode = texts.mode;
        view.when = texts.nextRun;
    }
    return view;
}
