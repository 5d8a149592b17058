#pragma once

#include "base/DateTime.h"
#include "profiles/TProfile.h"

#include <optional>

/// How long a profile's schedule leaves between two runs at most, in days: the longest gap of a
/// daily schedule's weekdays (Friday to Monday is three), a weekly one's weeks, a month, an
/// interval's hours and minutes. None for a schedule that does not repeat (not periodic, free
/// moments) or that repeats never (no weekday chosen, an interval of nothing).
std::optional<double> ExpectedIntervalDays(const TProfile& profile);

/// When the profile's last run without errors began; none when it never had one. A profile file
/// from before this was stored counts its last run when that one ended without errors.
std::optional<DateTime> LastErrorFreeRun(const TProfile& profile);

/// What a profile's silence amounts to at a moment.
struct OverdueState
{
    bool overdue = false;
    /// Whole days since the last run without errors (none when there never was one).
    std::optional<int> daysSinceSuccess;
};

/// A profile is overdue when its last run without errors lies further back than its interval
/// and a margin: marginDays for daily and shorter schedules, at least one interval for longer
/// ones (a weekly backup a day late is no alarm). A profile whose schedule has ended (its
/// validity is over, nothing comes next), or that never ran without errors, is not overdue: the
/// latter shows as failed.
OverdueState OverdueOf(const TProfile& profile, DateTime now, int marginDays);
