#pragma once

#include "base/DateTime.h"

#include <array>

/// The 42 days the calendar shows for a month: six weeks, Monday first, starting on the Monday on
/// or before the 1st, with the days of the months around it to fill the rows.
struct MonthGrid
{
    std::array<DateTime, 42> days{};
    std::array<bool, 42> inMonth{};
    /// The calendar week (ISO 8601, as German users read it) of each row.
    std::array<int, 6> weeks{};
};

MonthGrid BuildMonthGrid(int year, int month);

/// The calendar week of a day by ISO 8601: weeks begin on Monday, and week 1 holds the year's
/// first Thursday.
int IsoWeekNumber(DateTime day);

/// The same day n months later (or earlier); a day the new month lacks becomes its last day.
DateTime AddMonthsClamped(DateTime day, int months);
