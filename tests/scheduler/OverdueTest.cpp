#include "scheduler/Overdue.h"

#include <gtest/gtest.h>

namespace {

// 11.12.2026 12:00 as the profile file counts days.
constexpr DateTime Now = 46367.5;

TProfile scheduled(std::uint8_t period)
{
    TProfile p;
    p.Period = period;
    p.NextRun = Now + 1;
    p.DateTimeTo = OpenTo;
    return p;
}

TProfile daily(std::initializer_list<int> days)
{
    TProfile p = scheduled(PeriodDaily);
    for (const int day : days)
        p.DayOfWeek[static_cast<std::size_t>(day)] = true;
    return p;
}

} // namespace

TEST(OverdueTest, TheIntervalIsTheLongestGapTheScheduleLeaves)
{
    TProfile interval = scheduled(PeriodInterval);
    interval.Hours = 6;
    TProfile weekly = scheduled(PeriodWeekly);
    weekly.Weeks = 2;
    const struct
    {
        const char* what;
        TProfile profile;
        std::optional<double> days;
    } cases[] = {
        {"every day", daily({0, 1, 2, 3, 4, 5, 6}), 1.0},
        {"working days: Friday to Monday", daily({0, 1, 2, 3, 4}), 3.0},
        {"Sunday alone, round the week", daily({6}), 7.0},
        {"no day chosen", daily({}), std::nullopt},
        {"every six hours", interval, 0.25},
        {"an interval of nothing", scheduled(PeriodInterval), std::nullopt},
        {"every other week", weekly, 14.0},
        {"monthly", scheduled(PeriodMonthly), 31.0},
        {"free moments", scheduled(PeriodFree), std::nullopt},
        {"not periodic", scheduled(PeriodNotPeriodic), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpectedIntervalDays(c.profile), c.days) << c.what;
}

TEST(OverdueTest, AProfileIsOverdueOnceItsLastGoodRunLiesBeyondIntervalAndMargin)
{
    const auto at = [](TProfile p, double daysAgo) {
        p.LastSuccess = Now - daysAgo;
        p.LastRun = Now - 0.5;
        p.Errors = 1; // the runs since failed
        return p;
    };
    TProfile ended = at(daily({0, 1, 2, 3, 4, 5, 6}), 30);
    ended.DateTimeTo = Now - 2;
    TProfile nothingNext = at(daily({0, 1, 2, 3, 4, 5, 6}), 30);
    nothingNext.NextRun = NoRun;
    TProfile weekly = scheduled(PeriodWeekly);
    weekly.Weeks = 1;
    const struct
    {
        const char* what;
        TProfile profile;
        bool overdue;
        std::optional<int> days;
    } cases[] = {
        {"daily, 3.9 days: within a day and three", at(daily({0, 1, 2, 3, 4, 5, 6}), 3.9), false, 3},
        {"daily, 4.1 days", at(daily({0, 1, 2, 3, 4, 5, 6}), 4.1), true, 4},
        {"working days over a weekend and three days", at(daily({0, 1, 2, 3, 4}), 5.5), false, 5},
        {"weekly, 13 days: a week late is no alarm", at(weekly, 13), false, 13},
        {"weekly, 15 days", at(weekly, 15), true, 15},
        {"the schedule's validity is over", ended, false, 30},
        {"nothing comes next", nothingNext, false, 30},
        {"not periodic", at(scheduled(PeriodNotPeriodic), 400), false, 400},
    };
    for (const auto& c : cases) {
        const OverdueState state = OverdueOf(c.profile, Now, 3);
        EXPECT_EQ(state.overdue, c.overdue) << c.what;
        EXPECT_EQ(state.daysSinceSuccess, c.days) << c.what;
    }
    // A longer margin holds the daily alarm back.
    EXPECT_FALSE(OverdueOf(at(daily({0, 1, 2, 3, 4, 5, 6}), 4.1), Now, 7).overdue);
}

TEST(OverdueTest, TheLastGoodRunOfAnOlderProfileFileIsItsLastRunWhenThatWentWell)
{
    TProfile p = daily({0, 1, 2, 3, 4, 5, 6});
    p.LastRun = Now - 10;
    EXPECT_EQ(LastErrorFreeRun(p), Now - 10);
    EXPECT_TRUE(OverdueOf(p, Now, 3).overdue);
    p.Errors = 2; // it failed: when the last good one was is not known
    EXPECT_EQ(LastErrorFreeRun(p), std::nullopt);
    EXPECT_FALSE(OverdueOf(p, Now, 3).overdue); // shows as failed instead
    p.Errors = 0;
    p.RunUnfinished = true;
    EXPECT_EQ(LastErrorFreeRun(p), std::nullopt);
    // A profile that never succeeded since the key exists says so with NoRun.
    p.RunUnfinished = false;
    p.LastSuccess = NoRun;
    EXPECT_EQ(LastErrorFreeRun(p), std::nullopt);
    // A new profile has not run.
    TProfile fresh = daily({0});
    fresh.LastRun = NoRun;
    EXPECT_EQ(LastErrorFreeRun(fresh), std::nullopt);
}
