#include "base/DateTime.h"

#include "base/Text.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CivilDate civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr std::int64_t UnixDayOfZero = -25569; // 30.12.1899 counted from 01.01.1970

// Splits a moment into its day number and the milliseconds of its day, carrying a time that
// rounds up to a whole day into the next day.
void split(DateTime value, std::int64_t& day, std::int64_t& ms)
{
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6) {
        day = 0;
        ms = 0;
        return;
    }
    const double whole = std::trunc(value);
    day = static_cast<std::int64_t>(whole);
    ms = std::llround(std::fabs(value - whole) * static_cast<double>(MsPerDay));
    if (ms >= MsPerDay) {
        // The time of day counts forward from midnight on both sides of day 0.
        ms -= MsPerDay;
        day += 1;
    }
}

} // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

std::optional<DateTime> TryEncodeDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return static_cast<DateTime>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                                 UnixDayOfZero);
}

std::optional<DateTime> TryEncodeTime(int hour, int minute, int second, int millisecond)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return std::nullopt;
    const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<DateTime>(ms) / static_cast<DateTime>(MsPerDay);
}

DateTime ComposeDateTime(DateTime date, DateTime time)
{
    return date < 0 ? date - time : date + time;
}

CivilDate DecodeDate(DateTime value)
{
    std::int64_t day = 0;
    std::int64_t ms = 0;
    split(value, day, ms);
    return civilFromDays(day + UnixDayOfZero);
}

ClockTime DecodeTime(DateTime value)
{
    std::int64_t day = 0;
    std::int64_t ms = 0;
    split(value, day, ms);
    const auto total = static_cast<int>(ms);
    return {total / 3'600'000, total / 60'000 % 60, total / 1000 % 60, total % 1000};
}

DateTime DateOf(DateTime value)
{
    std::int64_t day = 0;
    std::int64_t ms = 0;
    split(value, day, ms);
    return static_cast<DateTime>(day);
}

DateTime TimeOf(DateTime value)
{
    std::int64_t day = 0;
    std::int64_t ms = 0;
    split(value, day, ms);
    return static_cast<DateTime>(ms) / static_cast<DateTime>(MsPerDay);
}

int WeekdayMondayFirst(DateTime value)
{
    // 30.12.1899 was a Saturday (5 when Monday is 0).
    const auto day = static_cast<std::int64_t>(DateOf(value));
    return static_cast<int>(((day + 5) % 7 + 7) % 7);
}

std::string FormatDate(DateTime value)
{
    const CivilDate d = DecodeDate(value);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", d.day, d.month, d.year);
    return buffer;
}

std::string FormatDateTime(DateTime value)
{
    const ClockTime t = DecodeTime(value);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, " %02d:%02d", t.hour, t.minute);
    return FormatDate(value) + buffer;
}

std::string FormatStampedDateTime(DateTime value)
{
    const ClockTime t = DecodeTime(value);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, ":%02d", t.second);
    return FormatDateTime(value) + buffer;
}

std::int64_t ToLinearMs(DateTime value)
{
    std::int64_t day = 0;
    std::int64_t ms = 0;
    split(value, day, ms);
    return day * MsPerDay + ms;
}

DateTime FromLinearMs(std::int64_t ms)
{
    const std::int64_t day = ms >= 0 ? ms / MsPerDay : -((-ms + MsPerDay - 1) / MsPerDay);
    const std::int64_t rest = ms - day * MsPerDay;
    return ComposeDateTime(static_cast<DateTime>(day), static_cast<DateTime>(rest) / static_cast<DateTime>(MsPerDay));
}

DateTime ReadStampedDateTime(const std::string& text)
{
    const std::string trimmed = Trim(text);
    if (trimmed.size() != 19)
        return 0.0;
    const std::string_view s = trimmed;
    auto number = [&s](std::size_t pos, std::size_t len, int& out) {
        out = 0;
        for (std::size_t i = pos; i < pos + len; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return false;
            out = out * 10 + (s[i] - '0');
        }
        return true;
    };
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    if (!number(0, 2, day) || !number(3, 2, month) || !number(6, 4, year) || !number(11, 2, hour) ||
        !number(14, 2, minute) || !number(17, 2, second))
        return 0.0;
    const auto date = TryEncodeDate(year, month, day);
    const auto time = TryEncodeTime(hour, minute, second);
    return date && time ? ComposeDateTime(*date, *time) : 0.0;
}
