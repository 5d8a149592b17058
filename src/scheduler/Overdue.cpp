#include "scheduler/Overdue.h"

#include <algorithm>
#include <cmath>

std::optional<double> ExpectedIntervalDays(const TProfile& profile)
{
    switch (profile.Period) {
    case PeriodInterval: {
        const int minutes = profile.Hours * 60 + profile.Minutes;
        if (minutes <= 0)
            return std::nullopt;
        return minutes / (24.0 * 60.0);
    }
    case PeriodDaily: {
        // The longest way round the week from one chosen day to the next.
        int longest = 0;
        for (int day = 0; day < 7; ++day) {
            if (!profile.DayOfWeek[static_cast<std::size_t>(day)])
                continue;
            for (int gap = 1; gap <= 7; ++gap)
                if (profile.DayOfWeek[static_cast<std::size_t>((day + gap) % 7)]) {
                    longest = std::max(longest, gap);
                    break;
                }
        }
        if (longest == 0)
            return std::nullopt;
        return longest;
    }
    case PeriodWeekly:
        return 7.0 * std::max<int>(1, profile.Weeks);
    case PeriodMonthly:
        return 31.0;
    default:
        return std::nullopt;
    }
}

std::optional<DateTime> LastErrorFreeRun(const TProfile& profile)
{
    if (profile.LastSuccess > NoRun)
        return profile.LastSuccess;
    if (profile.LastSuccess == 0.0 && profile.LastRun > NoRun && profile.Errors == 0 && !profile.RunUnfinished)
        return profile.LastRun;
    return std::nullopt;
}

OverdueState OverdueOf(const TProfile& profile, DateTime now, int marginDays)
{
    OverdueState state;
    const std::optional<DateTime> success = LastErrorFreeRun(profile);
    if (success)
        state.daysSinceSuccess = static_cast<int>(std::floor(std::max(0.0, now - *success)));
    const std::optional<double> interval = ExpectedIntervalDays(profile);
    const bool scheduleOver = profile.NextRun <= NoRun || profile.DateTimeTo <= now;
    if (!success || !interval || scheduleOver)
        return state;
    const double margin = *interval >= 7.0 ? std::max<double>(marginDays, *interval) : marginDays;
    state.overdue = now - *success > *interval + margin;
    return state;
}
