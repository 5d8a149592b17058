#pragma once

#include "base/DateTime.h"
#include "profiles/ProfileText.h"
#include "profiles/TProfile.h"

#include <array>
#include <cstdint>
#include <string>

/// The schedule values of a profile, by themselves, so that a schedule can be computed before
/// it is stored in a profile (the wizard shows the next run while the user edits).
struct ScheduleFields
{
    std::uint8_t Period = 0;
    std::uint8_t Hours = 0;
    DateTime LastRun = NoRun;
    std::uint8_t Minutes = 0;
    std::uint8_t Weeks = 0;
    std::uint8_t Day = 0;
    std::uint8_t MonthDay = 0;
    std::array<bool, 7> DayOfWeek{}; // Monday first
    std::string RunTime;
    std::string Weektime;
    std::string Monthtime;
    std::string FreeTime;
    DateTime DateTimeFrom = OpenFrom;
    DateTime DateTimeTo = OpenTo;
};

ScheduleFields ScheduleOf(const TProfile& profile);

/// The next moment the schedule is due after now (local wall-clock time), or NoRun.
DateTime CalcNextRun(const ScheduleFields& schedule, DateTime now);

/// Sets the profile's NextRun from its own schedule.
void CalcNextBackup(TProfile& profile, DateTime now);

/// CalcNextBackup at a fixed moment, for the profile file's loader.
NextRunRecalculation NextRunRecalculationAt(DateTime now);
