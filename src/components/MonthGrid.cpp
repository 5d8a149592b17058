#include "components/MonthGrid.h"

#include <algorithm>

namespace {

DateTime dayOf(int year, int month, int day)
{
    return TryEncodeDate(year, month, day).value_or(0.0);
}

} // namespace

int IsoWeekNumber(DateTime day)
{
    day = DateOf(day);
    // The Thursday of the day's week decides the year the week belongs to.
    const DateTime thursday = day - WeekdayMondayFirst(day) + 3;
    const int year = DecodeDate(thursday).year;
    return static_cast<int>((thursday - dayOf(year, 1, 1)) / 7) + 1;
}

MonthGrid BuildMonthGrid(int year, int month)
{
    MonthGrid grid;
    const DateTime first = dayOf(year, month, 1);
    const DateTime start = first - WeekdayMondayFirst(first);
    const DateTime last = dayOf(year, month, DaysInMonth(year, month));
    for (std::size_t cell = 0; cell < grid.days.size(); ++cell) {
        grid.days[cell] = start + static_cast<double>(cell);
        grid.inMonth[cell] = grid.days[cell] >= first && grid.days[cell] <= last;
    }
    for (std::size_t row = 0; row < grid.weeks.size(); ++row)
        grid.weeks[row] = IsoWeekNumber(grid.days[row * 7]);
    return grid;
}

DateTime AddMonthsClamped(DateTime day, int months)
{
    const CivilDate date = DecodeDate(day);
    const int index = date.year * 12 + (date.month - 1) + months;
    const int year = index / 12;
    const int month = index % 12 + 1;
    return dayOf(year, month, std::min(date.day, DaysInMonth(year, month)));
}
