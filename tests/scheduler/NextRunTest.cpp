#include "scheduler/NextRun.h"

#include <gtest/gtest.h>

namespace {

DateTime at(int y, int m, int d, int h = 0, int n = 0, int s = 0, int ms = 0)
{
    return ComposeDateTime(*TryEncodeDate(y, m, d), *TryEncodeTime(h, n, s, ms));
}

std::string next(const ScheduleFields& s, DateTime now)
{
    const DateTime result = CalcNextRun(s, now);
    return result == NoRun ? "-" : FormatStampedDateTime(result);
}

ScheduleFields interval(int hours, int minutes, DateTime from = OpenFrom, DateTime to = OpenTo)
{
    ScheduleFields s;
    s.Period = PeriodInterval;
    s.Hours = static_cast<std::uint8_t>(hours);
    s.Minutes = static_cast<std::uint8_t>(minutes);
    s.DateTimeFrom = from;
    s.DateTimeTo = to;
    return s;
}

ScheduleFields daily(const char* times, std::array<bool, 7> days, DateTime from = OpenFrom)
{
    ScheduleFields s;
    s.Period = PeriodDaily;
    s.RunTime = times;
    s.DayOfWeek = days;
    s.DateTimeFrom = from;
    return s;
}

ScheduleFields weekly(int weeks, int day, const char* time, DateTime lastRun)
{
    ScheduleFields s;
    s.Period = PeriodWeekly;
    s.Weeks = static_cast<std::uint8_t>(weeks);
    s.Day = static_cast<std::uint8_t>(day);
    s.Weektime = time;
    s.LastRun = lastRun;
    return s;
}

ScheduleFields monthly(int day, const char* time, DateTime lastRun)
{
    ScheduleFields s;
    s.Period = PeriodMonthly;
    s.MonthDay = static_cast<std::uint8_t>(day);
    s.Monthtime = time;
    s.LastRun = lastRun;
    return s;
}

ScheduleFields freeList(const char* moments)
{
    ScheduleFields s;
    s.Period = PeriodFree;
    s.FreeTime = moments;
    return s;
}

constexpr std::array<bool, 7> EveryDay = {true, true, true, true, true, true, true};
constexpr std::array<bool, 7> MondayOnly = {true, false, false, false, false, false, false};

struct Case
{
    const char* what;
    ScheduleFields schedule;
    DateTime now;
    const char* expected;
};

void check(const std::vector<Case>& cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(next(c.schedule, c.now), c.expected) << c.what;
}

// Sunday 05.01.2003 is the day most cases start from.
TEST(NextRunTest, NoScheduleKinds)
{
    ScheduleFields s = interval(1, 0);
    for (const int period : {0, 1, 7, 255}) {
        s.Period = static_cast<std::uint8_t>(period);
        EXPECT_EQ(CalcNextRun(s, at(2003, 1, 5, 12)), NoRun) << period;
    }
}

TEST(NextRunTest, EveryHoursAndMinutes)
{
    const DateTime from1030 = at(2002, 12, 1, 10, 30);
    check({
        {"grid from midnight", interval(5, 0), at(2003, 1, 5, 3), "05.01.2003 05:00:00"},
        {"on a grid moment", interval(5, 0), at(2003, 1, 5, 10), "05.01.2003 10:00:00"},
        {"just after it", interval(5, 0), at(2003, 1, 5, 10, 0, 0, 1), "05.01.2003 15:00:00"},
        {"the grid restarts at midnight", interval(5, 0), at(2003, 1, 5, 21), "06.01.2003 00:00:00"},
        {"anchored at the first date's time", interval(4, 0, from1030), at(2003, 1, 5, 3), "05.01.2003 06:30:00"},
        {"anchored, late evening", interval(4, 0, from1030), at(2003, 1, 5, 23), "06.01.2003 02:30:00"},
        {"minutes", interval(0, 45), at(2003, 1, 5, 12, 50), "05.01.2003 13:30:00"},
        {"first date ahead", interval(5, 0, at(2003, 2, 1, 9, 17)), at(2003, 1, 5, 12), "01.02.2003 09:17:00"},
        {"last date passed", interval(5, 0, OpenFrom, at(2003, 1, 1)), at(2003, 1, 5, 12), "-"},
        {"next moment after the last date", interval(5, 0, OpenFrom, at(2003, 1, 5, 14)), at(2003, 1, 5, 12), "-"},
        {"no interval at all", interval(0, 0), at(2003, 1, 5, 12), "-"},
        {"longer than a day", interval(24, 59), at(2003, 1, 5, 12), "06.01.2003 00:00:00"},
    });
}

TEST(NextRunTest, DailyTimes)
{
    check({
        {"only Monday, from Saturday noon", daily("08:00; 16:00", MondayOnly), at(2003, 1, 4, 12),
         "06.01.2003 16:00:00"},
        {"after that run", daily("08:00; 16:00", MondayOnly), at(2003, 1, 6, 16, 0, 5), "13.01.2003 08:00:00"},
        {"later today", daily("16:30;08:00", EveryDay), at(2003, 1, 5, 12), "05.01.2003 16:30:00"},
        {"a listed time equal to now is not later", daily("12:00", EveryDay), at(2003, 1, 5, 12),
         "06.01.2003 12:00:00"},
        {"first date tomorrow noon", daily("12:00", EveryDay, at(2003, 1, 6, 12)), at(2003, 1, 5, 9),
         "07.01.2003 12:00:00"},
        {"an empty item counts as midnight", daily("18:00;", EveryDay), at(2003, 1, 5, 19), "06.01.2003 00:00:00"},
        {"no weekday", daily("12:00", {}), at(2003, 1, 5, 9), "-"},
        {"no time", daily("  ", EveryDay), at(2003, 1, 5, 9), "-"},
    });
}

TEST(NextRunTest, EveryFewWeeks)
{
    const DateTime never = NoRun;
    const DateTime monday1st = at(2025, 12, 1, 12);
    check({
        {"new, created on Monday", weekly(1, 2, "12:00", never), at(2025, 12, 1, 9), "03.12.2025 12:00:00"},
        {"new, created on Thursday", weekly(1, 2, "12:00", never), at(2025, 12, 4, 9), "10.12.2025 12:00:00"},
        {"two weeks, right after the run", weekly(2, 0, "12:00", monday1st), at(2025, 12, 1, 12, 0, 30),
         "15.12.2025 12:00:00"},
        {"two weeks, computed days later", weekly(2, 0, "12:00", monday1st), at(2025, 12, 5, 18),
         "15.12.2025 12:00:00"},
        {"two weeks, computed on the 8th", weekly(2, 0, "12:00", monday1st), at(2025, 12, 8, 13),
         "15.12.2025 12:00:00"},
        {"run by hand on a Thursday keeps the weekday", weekly(1, 0, "12:00", at(2025, 12, 4, 10)),
         at(2025, 12, 4, 10, 0, 1), "08.12.2025 12:00:00"},
        {"not a time", weekly(1, 0, "mittags", never), at(2025, 12, 4, 10), "-"},
    });
}

TEST(NextRunTest, Monthly)
{
    const DateTime never = NoRun;
    check({
        {"day 31 in April", monthly(31, "12:00", never), at(2003, 4, 10, 9), "01.05.2003 12:00:00"},
        // The run on 1 May was April's: May's is still to come.
        {"after that run", monthly(31, "12:00", at(2003, 5, 1, 12)), at(2003, 5, 1, 12, 0, 10), "31.05.2003 12:00:00"},
        {"by hand before the day", monthly(20, "08:00", at(2003, 3, 5, 9)), at(2003, 3, 5, 9, 0, 5),
         "20.03.2003 08:00:00"},
        {"made up on the first", monthly(31, "08:00", at(2003, 5, 1, 9)), at(2003, 5, 1, 9, 0, 5),
         "31.05.2003 08:00:00"},
        {"after February's overflow", monthly(30, "08:00", at(2003, 3, 2, 8)), at(2003, 3, 2, 8, 0, 5),
         "30.03.2003 08:00:00"},
        {"day 29 in February", monthly(29, "08:00", never), at(2003, 2, 3), "01.03.2003 08:00:00"},
        {"day 30 in February", monthly(30, "08:00", never), at(2003, 2, 3), "02.03.2003 08:00:00"},
        {"day 31 in February", monthly(31, "08:00", never), at(2003, 2, 3), "03.03.2003 08:00:00"},
        {"run by hand on the day", monthly(15, "18:00", at(2003, 1, 15, 9)), at(2003, 1, 15, 9, 0, 5),
         "15.02.2003 18:00:00"},
        {"later this month", monthly(15, "18:00", at(2002, 12, 15, 18)), at(2003, 1, 15, 9), "15.01.2003 18:00:00"},
        {"not a time", monthly(15, "", never), at(2003, 1, 15, 9), "-"},
    });
}

TEST(NextRunTest, FreeMoments)
{
    check({
        {"unsorted", freeList("24.12.2003-18:00; 01.03.2003-12:35; 01.01.2003-00:00"), at(2003, 1, 5, 12),
         "01.03.2003 12:35:00"},
        {"all passed", freeList("01.03.2002-12:35; 02.03.2002-12:35"), at(2003, 1, 5, 12), "-"},
        {"unreadable items are ignored", freeList("kein Datum; 31.02.2003-12:00; 07.01.2003-07:30"), at(2003, 1, 5, 12),
         "07.01.2003 07:30:00"},
        {"empty", freeList(""), at(2003, 1, 5, 12), "-"},
    });
    ScheduleFields windowed = freeList("07.01.2003-07:30; 09.01.2003-07:30");
    windowed.DateTimeFrom = at(2003, 1, 8);
    EXPECT_EQ(next(windowed, at(2003, 1, 5, 12)), "09.01.2003 07:30:00");
    windowed.DateTimeTo = at(2003, 1, 9);
    EXPECT_EQ(next(windowed, at(2003, 1, 5, 12)), "-");

    // A long list (the field holds 3000 characters): the moments at its end count too.
    std::string moments;
    while (moments.size() < 2900)
        moments += "01.01.2002-12:00; ";
    moments += "01.02.2003-12:00";
    ScheduleFields longList = freeList("");
    longList.FreeTime = moments;
    EXPECT_EQ(next(longList, at(2003, 1, 5, 12)), "01.02.2003 12:00:00");
}

TEST(NextRunTest, CalcNextBackupStoresTheResult)
{
    TProfile p;
    p.Period = PeriodDaily;
    p.RunTime = "20:00";
    p.DayOfWeek = EveryDay;
    p.DateTimeFrom = OpenFrom;
    p.DateTimeTo = OpenTo;
    CalcNextBackup(p, at(2003, 1, 5, 12));
    EXPECT_EQ(FormatStampedDateTime(p.NextRun), "05.01.2003 20:00:00");
    NextRunRecalculationAt(at(2003, 1, 5, 21))(p);
    EXPECT_EQ(FormatStampedDateTime(p.NextRun), "06.01.2003 20:00:00");
}

} // namespace
