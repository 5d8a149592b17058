#include "scheduler/NextRun.h"

#include "base/Text.h"
#include "scheduler/ScheduleText.h"

#include <algorithm>
#include <optional>

// All arithmetic runs on whole milliseconds: repeated additions of an interval must land
// exactly on the grid, and a listed time must compare equal to the same clock reading.

namespace {

using Ms = std::int64_t;

constexpr Ms MsPerMinute = 60'000;
constexpr Ms MsPerHour = 3'600'000;
constexpr Ms MsPerWeek = 7 * MsPerDay;

Ms floorDay(Ms ms)
{
    const Ms day = ms >= 0 ? ms / MsPerDay : -((-ms + MsPerDay - 1) / MsPerDay);
    return day * MsPerDay;
}

int weekdayOf(Ms ms)
{
    const Ms day = floorDay(ms) / MsPerDay;
    return static_cast<int>(((day + 5) % 7 + 7) % 7); // day 0 (30.12.1899) was a Saturday
}

Ms ceilDiv(Ms a, Ms b)
{
    return (a + b - 1) / b;
}

struct Moments
{
    Ms now;
    Ms from;
    Ms to;
    Ms reference;    // now, or the window start while the window has not begun
    Ms referenceDay; // 00:00 of the reference moment
};

DateTime withinWindow(std::optional<Ms> result, const Moments& m)
{
    if (!result || *result < m.from || *result > m.to)
        return NoRun;
    return FromLinearMs(*result);
}

std::optional<Ms> timeOfDay(const std::string& text)
{
    const auto time = TryReadTime(text);
    return time ? std::optional<Ms>(ToLinearMs(*time)) : std::nullopt;
}

std::optional<Ms> everyInterval(const ScheduleFields& s, const Moments& m)
{
    const Ms interval = s.Hours * MsPerHour + s.Minutes * MsPerMinute;
    if (interval <= 0)
        return std::nullopt;
    if (m.now < m.from)
        return m.from;
    // The grid is anchored at the window start's time of day and restarts every day.
    const Ms today = floorDay(m.now);
    const Ms anchor = m.from - floorDay(m.from);
    const Ms first = anchor > 0 ? anchor - (anchor - 1) / interval * interval : 0;
    Ms t = today + first;
    if (m.now > t)
        t += ceilDiv(m.now - t, interval) * interval;
    return t > today + MsPerDay ? today + MsPerDay + first : t;
}

std::optional<Ms> dailyTimes(const ScheduleFields& s, const Moments& m)
{
    const int count = CountTokens(s.RunTime, ';');
    if (count == 0)
        return std::nullopt;
    const Ms referenceTime = m.reference - m.referenceDay;
    std::optional<Ms> earliest;
    std::optional<Ms> later;
    for (int i = 1; i <= count; ++i) {
        const Ms time = ToLinearMs(TimeOfToken(s.RunTime, i));
        earliest = std::min(earliest.value_or(time), time);
        if (time > referenceTime)
            later = std::min(later.value_or(time), time);
    }
    const Ms time = later ? *later : *earliest;
    const Ms firstDay = later ? m.referenceDay : m.referenceDay + MsPerDay;
    for (int k = 0; k < 7; ++k) {
        const Ms day = firstDay + k * MsPerDay;
        if (s.DayOfWeek[static_cast<std::size_t>(weekdayOf(day))])
            return day + time;
    }
    return std::nullopt;
}

std::optional<Ms> everyWeeks(const ScheduleFields& s, const Moments& m)
{
    const auto time = timeOfDay(s.Weektime);
    if (!time)
        return std::nullopt;
    const Ms lastRun = ToLinearMs(s.LastRun);
    Ms day = 0;
    if (lastRun + (s.Weeks - 1) * MsPerWeek >= m.reference) {
        // The last run lies within the current cycle: the cycle after it.
        const Ms lastDay = floorDay(lastRun);
        day = lastDay - weekdayOf(lastDay) * MsPerDay + s.Weeks * MsPerWeek + s.Day * MsPerDay;
    } else {
        day = m.referenceDay + (s.Day - weekdayOf(m.referenceDay)) * MsPerDay;
    }
    Ms result = day + *time;
    if (result < m.reference)
        result += MsPerWeek;
    return result;
}

std::optional<Ms> monthly(const ScheduleFields& s, const Moments& m)
{
    const auto time = timeOfDay(s.Monthtime);
    if (!time)
        return std::nullopt;
    const DateTime referenceDate = FromLinearMs(m.referenceDay);
    // Days are counted on, not clamped: day 31 of a 30-day month is the first of the next.
    const Ms candidate = ToLinearMs(MonthStart(referenceDate)) + (s.MonthDay - 1) * MsPerDay + *time;
    // Only a run on the scheduled date itself moves the next one to the following month: a run by
    // hand on another day, or one made up after it was missed, must not cost a month.
    const bool ranOnTheDate = floorDay(ToLinearMs(s.LastRun)) == floorDay(candidate);
    if (candidate >= m.reference && !ranOnTheDate)
        return candidate;
    return ToLinearMs(MonthEnd(referenceDate)) + s.MonthDay * MsPerDay + *time;
}

std::optional<Ms> freeMoments(const ScheduleFields& s, const Moments& m)
{
    const Ms nothing = ToLinearMs(OpenTo);
    Ms best = nothing;
    // Split here rather than with ExtractToken, which keeps only 2000 characters of the rest: the
    // list may hold up to 3000, and every moment of it counts.
    const std::string_view list = s.FreeTime;
    const bool blank = Trim(list).empty();
    for (std::size_t start = 0; !blank && start <= list.size();) {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos)
            end = list.size();
        const std::string item = Trim(list.substr(start, end - start));
        start = end + 1;
        const Ms x =
            ToLinearMs(ReadDate(ExtractToken(item, '-', 1))) + ToLinearMs(ReadTime(ExtractToken(item, '-', 2)));
        if (x < best && x > m.now && x > m.reference)
            best = x;
    }
    return best == nothing ? std::nullopt : std::optional<Ms>(best);
}

} // namespace

ScheduleFields ScheduleOf(const TProfile& p)
{
    return {p.Period,    p.Hours,   p.LastRun,  p.Minutes,   p.Weeks,    p.Day,          p.MonthDay,
            p.DayOfWeek, p.RunTime, p.Weektime, p.Monthtime, p.FreeTime, p.DateTimeFrom, p.DateTimeTo};
}

DateTime CalcNextRun(const ScheduleFields& s, DateTime now)
{
    Moments m{};
    m.now = ToLinearMs(now);
    m.from = ToLinearMs(s.DateTimeFrom);
    m.to = ToLinearMs(s.DateTimeTo);
    m.reference = m.now >= m.from ? m.now : m.from;
    m.referenceDay = floorDay(m.reference);

    switch (s.Period) {
    case PeriodInterval:
        return withinWindow(everyInterval(s, m), m);
    case PeriodDaily:
        return withinWindow(dailyTimes(s, m), m);
    case PeriodWeekly:
        return withinWindow(everyWeeks(s, m), m);
    case PeriodMonthly:
        return withinWindow(monthly(s, m), m);
    case PeriodFree:
        return withinWindow(freeMoments(s, m), m);
    default:
        return NoRun;
    }
}

void CalcNextBackup(TProfile& profile, DateTime now)
{
    profile.NextRun = CalcNextRun(ScheduleOf(profile), now);
}

NextRunRecalculation NextRunRecalculationAt(DateTime now)
{
    return [now](TProfile& profile) { CalcNextBackup(profile, now); };
}
