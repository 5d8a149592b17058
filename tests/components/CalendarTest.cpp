#include "components/Holidays.h"
#include "components/MonthGrid.h"

#include <gtest/gtest.h>

namespace {

DateTime day(int year, int month, int dayOfMonth)
{
    return *TryEncodeDate(year, month, dayOfMonth);
}

TEST(CalendarTest, EasterSundayByGaussIncludingBothAprilExceptions)
{
    struct Case
    {
        int year, month, day;
    };
    const Case cases[] = {{1900, 4, 15},
                          {1954, 4, 18} /* d = 28, e = 6, a > 10 */,
                          {1981, 4, 19} /* d = 29, e = 6 */,
                          {2000, 4, 23},
                          {2004, 4, 11},
                          {2008, 3, 23},
                          {2011, 4, 24},
                          {2019, 4, 21},
                          {2038, 4, 25},
                          {2285, 3, 22} /* the earliest it can be */};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        const CivilDate easter = EasterSunday(c.year);
        EXPECT_EQ(easter.year, c.year);
        EXPECT_EQ(easter.month, c.month);
        EXPECT_EQ(easter.day, c.day);
    }
}

TEST(CalendarTest, HolidaysOfAYearFollowTheListAndEaster)
{
    const std::vector<DateTime> holidays = HolidaysOfYear(2004);
    ASSERT_EQ(holidays.size(), 15u);
    const std::vector<DateTime> expected = {day(2004, 1, 1),   day(2004, 1, 6),  day(2004, 5, 1),  day(2004, 8, 15),
                                            day(2004, 10, 26), day(2004, 11, 1), day(2004, 12, 8), day(2004, 12, 25),
                                            day(2004, 12, 26), day(2004, 4, 11), day(2004, 4, 12), day(2004, 5, 20),
                                            day(2004, 5, 30),  day(2004, 5, 31), day(2004, 6, 10)};
    EXPECT_EQ(holidays, expected);
    // Entries that are neither a day nor an Easter offset count as no date; a "-" goes back.
    EXPECT_EQ(HolidaysOfYear(2004, "xx01O-02"), (std::vector<DateTime>{0.0, day(2004, 4, 9)}));
}

TEST(CalendarTest, TheGridStartsOnAMondayAndFillsSixWeeks)
{
    struct Case
    {
        int year, month;
        DateTime first, last;
        std::array<int, 6> weeks;
    };
    const Case cases[] = {
        // 1 February 2021 is a Monday: the grid starts on the 1st.
        {2021, 2, day(2021, 2, 1), day(2021, 3, 14), {5, 6, 7, 8, 9, 10}},
        // 30 December 2024 lies in week 1 of 2025.
        {2024, 12, day(2024, 11, 25), day(2025, 1, 5), {48, 49, 50, 51, 52, 1}},
        // 2026 has 53 weeks: the days of January 2027 before the 4th belong to its last week.
        {2027, 1, day(2026, 12, 28), day(2027, 2, 7), {53, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year * 100 + c.month);
        const MonthGrid grid = BuildMonthGrid(c.year, c.month);
        EXPECT_EQ(grid.days.front(), c.first);
        EXPECT_EQ(grid.days.back(), c.last);
        EXPECT_EQ(grid.weeks, c.weeks);
        for (std::size_t cell = 0; cell < grid.days.size(); ++cell)
            EXPECT_EQ(grid.inMonth[cell], DecodeDate(grid.days[cell]).month == c.month) << cell;
    }
}

TEST(CalendarTest, MonthStepsKeepTheDayOrTakeTheMonthsLast)
{
    EXPECT_EQ(AddMonthsClamped(day(2004, 1, 31), 1), day(2004, 2, 29));
    EXPECT_EQ(AddMonthsClamped(day(2005, 1, 31), 1), day(2005, 2, 28));
    EXPECT_EQ(AddMonthsClamped(day(2004, 3, 31), -1), day(2004, 2, 29));
    EXPECT_EQ(AddMonthsClamped(day(2004, 2, 29), 12), day(2005, 2, 28));
    EXPECT_EQ(AddMonthsClamped(day(2004, 12, 15), 1), day(2005, 1, 15));
    EXPECT_EQ(AddMonthsClamped(day(2005, 1, 15), -1), day(2004, 12, 15));
}

} // namespace
