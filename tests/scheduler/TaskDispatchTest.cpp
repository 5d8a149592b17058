#include "scheduler/TaskDispatch.h"

#include "scheduler/NextRun.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

class FakeRuns final : public RunStarter
{
public:
    std::vector<int> started;
    bool active = false;
    bool RunActive() const override { return active; }
    void BackupProfile(int row) override
    {
        if (active)
            return;
        started.push_back(row);
        active = true;
    }
};

TProfile profile(const char* name, std::uint8_t period, DateTime next, bool onStartup = false)
{
    TProfile p;
    p.Name = name;
    p.Period = period;
    p.NextRun = next;
    p.OnStartup = onStartup;
    return p;
}

const DateTime Noon = 37626.5; // 05.01.2003 12:00

TEST(TaskDispatchTest, TheEarliestProfileIsNextAndTheEarlierRowWinsATie)
{
    ProfileList list;
    list.AddToProfile(profile("Nie", PeriodDaily, NoRun));
    list.AddToProfile(profile("Von Hand", PeriodNotPeriodic, Noon - 1));
    list.AddToProfile(profile("Später", PeriodDaily, Noon + 0.25));
    list.AddToProfile(profile("Früh", PeriodDaily, Noon + 0.125));
    list.AddToProfile(profile("Auch früh", PeriodInterval, Noon + 0.125));
    EXPECT_EQ(FindNextTask(list).row, 3);
    EXPECT_EQ(FindNextTask(list).time, Noon + 0.125);
    list.at(1).OnStartup = true; // a profile run by hand takes part once it runs at start-up
    EXPECT_EQ(FindNextTask(list).row, 1);
    EXPECT_EQ(FindNextTask(ProfileList{}).row, -1);
}

TEST(TaskDispatchTest, AProfileWithoutAScheduleOrAMomentIsNeverDue)
{
    const struct
    {
        const char* what;
        std::uint8_t period;
        DateTime next;
        bool onStartup;
        bool due;
    } cases[] = {
        {"no Period: never", PeriodNone, Noon - 1, false, false},
        {"no NextRun (0.0)", PeriodDaily, 0.0, false, false},
        {"NextRun before 1900", PeriodInterval, 1.5, false, false},
        {"an unknown Period", 9, Noon - 1, false, false},
        {"by hand only", PeriodNotPeriodic, Noon - 1, false, false},
        {"at start-up, whatever the schedule", PeriodNone, Noon - 1, true, true},
        {"scheduled and due", PeriodMonthly, Noon - 1, false, true},
    };
    for (const auto& c : cases) {
        ProfileList list;
        list.AddToProfile(profile(c.what, c.period, c.next, c.onStartup));
        FakeRuns runs;
        TaskDispatcher dispatcher(list, runs);
        dispatcher.GetNextTask();
        dispatcher.TaskDispatch(Noon);
        EXPECT_EQ(runs.started.size(), c.due ? 1u : 0u) << c.what;
    }
}

// The changes of summer time in Europe/Berlin, in local wall time as the schedule keeps it:
// 26.10.2003 03:00 summer time becomes 02:00 again; 30.03.2003 02:00 becomes 03:00.
TEST(TaskDispatchTest, TheClocksGoingBackOrForwardNeverPauseTheSchedule)
{
    const DateTime autumn = *TryEncodeDate(2003, 10, 26);
    const DateTime spring = *TryEncodeDate(2003, 3, 30);
    auto at = [](DateTime day, int h, int n) { return day + *TryEncodeTime(h, n, 0); };
    const struct
    {
        const char* what;
        DateTime lastRun;
        std::vector<DateTime> ticks; // the clock at each tick, as it reads
        int runs;                    // runs started by the last tick
    } cases[] = {
        // Every ten minutes: at 02:59 summer time the next moment is 03:00; then the clock reads
        // 02:00 again. The repeated hour keeps the pace instead of waiting an hour.
        {"autumn", at(autumn, 2, 50), {at(autumn, 2, 55), at(autumn, 2, 5), at(autumn, 2, 11)}, 1},
        // Forward: 02:00 is never read; the moment has passed at 03:00 and runs.
        {"spring", at(spring, 1, 50), {at(spring, 1, 55), at(spring, 3, 0) + 1.0 / 86400}, 1},
    };
    for (const auto& c : cases) {
        ProfileList list;
        TProfile p = profile(c.what, PeriodInterval, 0.0);
        p.Hours = 0;
        p.Minutes = 10;
        p.DateTimeFrom = OpenFrom;
        p.DateTimeTo = OpenTo;
        p.LastRun = c.lastRun;
        p.NextRun = CalcNextRun(ScheduleOf(p), c.ticks.front() - 5.0 / 1440);
        list.AddToProfile(p);
        FakeRuns runs;
        TaskDispatcher dispatcher(list, runs);
        dispatcher.GetNextTask();
        for (const DateTime tick : c.ticks)
            dispatcher.TaskDispatch(tick);
        EXPECT_EQ(static_cast<int>(runs.started.size()), c.runs) << c.what;
    }
}

// Starts runs as the run controller does: stamped with the tick's time, the next moment computed
// from it, and over before the next tick.
class StampingRuns final : public RunStarter
{
public:
    explicit StampingRuns(ProfileList& profiles) : m_profiles(profiles) {}
    DateTime now = 0.0;
    std::vector<std::string> started;
    bool RunActive() const override { return false; }
    void BackupProfile(int row) override
    {
        TProfile& p = m_profiles.at(row);
        started.push_back(p.Name + " " + FormatDateTime(now));
        p.LastRun = now;
        CalcNextBackup(p, now);
    }

private:
    ProfileList& m_profiles;
};

TEST(TaskDispatchTest, AMomentOfTheClockInTheRepeatedHourRunsOnce)
{
    // 26.10.2003: at 03:00 summer time the clocks read 02:00 again.
    const DateTime autumn = *TryEncodeDate(2003, 10, 26);
    auto at = [](DateTime day, int h, int n) { return day + *TryEncodeTime(h, n, 0); };
    ProfileList list;
    auto scheduled = [&list](const char* name, std::uint8_t period) -> TProfile& {
        TProfile p = profile(name, period, 0.0);
        p.DateTimeFrom = OpenFrom;
        p.DateTimeTo = OpenTo;
        p.DayOfWeek.fill(true);
        list.AddToProfile(p);
        return list.at(list.count() - 1);
    };
    scheduled("Täglich", PeriodDaily).RunTime = "02:30";
    scheduled("Liste", PeriodFree).FreeTime = "26.10.2003-02:30; 27.10.2003-02:30";
    scheduled("Sonntags", PeriodWeekly).Weektime = "02:30";
    list.at(2).Weeks = 1;
    list.at(2).Day = 6;
    TProfile& interval = scheduled("Halbstündlich", PeriodInterval);
    interval.Minutes = 30;
    StampingRuns runs(list);
    for (int row = 0; row < list.count(); ++row)
        CalcNextBackup(list.at(row), at(autumn, 1, 59));
    TaskDispatcher dispatcher(list, runs);
    dispatcher.GetNextTask();
    // A tick a minute through the first pass of the hour, then again through the second one.
    std::vector<std::vector<std::string>> passes;
    for (const DateTime from : {at(autumn, 2, 0), at(autumn, 2, 0)}) {
        runs.started.clear();
        for (DateTime tick = from; tick < at(autumn, 3, 0) - 0.5 / 86400; tick += 1.0 / 1440) {
            runs.now = tick;
            dispatcher.TaskDispatch(tick);
            dispatcher.GetNextTask();
        }
        passes.push_back(runs.started);
    }
    // Each moment of the clock once, on the first tick after it (one run a tick); the interval
    // keeps its pace through the second pass.
    EXPECT_EQ(passes[0], (std::vector<std::string>{"Halbstündlich 26.10.2003 02:01", "Täglich 26.10.2003 02:31",
                                                   "Liste 26.10.2003 02:32", "Sonntags 26.10.2003 02:33",
                                                   "Halbstündlich 26.10.2003 02:34"}));
    EXPECT_EQ(passes[1],
              (std::vector<std::string>{"Halbstündlich 26.10.2003 02:01", "Halbstündlich 26.10.2003 02:31"}));
}

TEST(TaskDispatchTest, TicksStartRequestedAndDueProfiles)
{
    ProfileList list;
    list.AddToProfile(profile("A", PeriodDaily, Noon + 0.5));
    list.AddToProfile(profile("B", PeriodDaily, Noon));
    list.AddToProfile(profile("C", PeriodDaily, Noon + 1));
    FakeRuns runs;
    TaskDispatcher dispatcher(list, runs);
    dispatcher.GetNextTask();
    EXPECT_EQ(dispatcher.NextTaskText(), "Nächste Sicherung: B (05.01.2003 12:00)");
    const NextTaskView shown = dispatcher.NextTaskTexts();
    EXPECT_EQ(shown.profile, "B");
    EXPECT_EQ(shown.mode, "Dateien verschieben"); // a record without a type
    EXPECT_EQ(shown.when, "05.01.2003 12:00");

    dispatcher.TaskDispatch(Noon); // not strictly later yet
    EXPECT_TRUE(runs.started.empty());
    dispatcher.TaskDispatch(Noon + 1.0 / 86400);
    EXPECT_EQ(runs.started, std::vector<int>{1});
    dispatcher.TaskDispatch(Noon + 2.0 / 86400); // a tick during a run does nothing
    EXPECT_EQ(runs.started, std::vector<int>{1});

    // Requests of other copies come first; each waits for its own tick instead of being lost.
    runs.active = false;
    list.at(0).RunRequest = true;
    list.at(2).RunRequest = true;
    dispatcher.TaskDispatch(Noon + 3.0 / 86400);
    EXPECT_EQ(runs.started, (std::vector<int>{1, 0}));
    EXPECT_TRUE(list.at(2).RunRequest);
    runs.active = false;
    dispatcher.TaskDispatch(Noon + 4.0 / 86400);
    EXPECT_EQ(runs.started, (std::vector<int>{1, 0, 2}));
    EXPECT_FALSE(list.at(2).RunRequest);
}

TEST(TaskDispatchTest, PauseAndStartupProfiles)
{
    ProfileList list;
    list.AddToProfile(profile("A", PeriodDaily, Noon + 1));
    list.AddToProfile(profile("Beim Start", PeriodNotPeriodic, NoRun, true));
    list.AddToProfile(profile("Auch beim Start", PeriodDaily, Noon + 2, true));
    FakeRuns runs;
    TaskDispatcher dispatcher(list, runs);
    dispatcher.ScheduleStartupProfiles(Noon);
    dispatcher.GetNextTask();
    EXPECT_EQ(dispatcher.next().row, 1); // start-up profiles run first, in row order

    dispatcher.SetPaused(true);
    EXPECT_EQ(dispatcher.StatusWord(), "Pausiert...");
    EXPECT_EQ(dispatcher.NextTaskText(), "Pausiert...");
    EXPECT_EQ(dispatcher.NextTaskTexts().profile, "Pausiert...");
    EXPECT_EQ(dispatcher.NextTaskTexts().mode, "");
    dispatcher.TaskDispatch(Noon + 1);
    EXPECT_TRUE(runs.started.empty());
    dispatcher.SetPaused(false);
    EXPECT_EQ(dispatcher.StatusWord(), "Aktiv");
    dispatcher.TaskDispatch(Noon + 1.0 / 86400);
    EXPECT_EQ(runs.started, std::vector<int>{1});

    EXPECT_FALSE(AnyAtExit(list));
    list.at(2).OnShutDown = true;
    EXPECT_TRUE(AnyAtExit(list));
    ProfileList empty;
    TaskDispatcher idle(empty, runs);
    idle.GetNextTask();
    EXPECT_EQ(idle.NextTaskText(), "Nächste Sicherung: Kein Profil aktiv");
    EXPECT_EQ(idle.NextTaskTexts().profile, "Kein Profil aktiv");
}

TEST(TaskDispatchTest, OnlyTheFirstTickWaitsAfterAutostart)
{
    EXPECT_EQ(FirstTickInterval(10, true, 10000), 600000);
    EXPECT_EQ(FirstTickInterval(10, false, 10000), 10000); // started by hand
    EXPECT_EQ(FirstTickInterval(0, true, 10000), 10000);
    EXPECT_EQ(FirstTickInterval(-3, true, 10000), 10000);
    EXPECT_EQ(FirstTickInterval(35792, true, 10000), std::numeric_limits<int>::max()); // never negative
}

} // namespace
