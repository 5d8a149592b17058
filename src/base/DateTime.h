#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A moment as the profile file and the schedule store it: days since 30 December 1899 00:00,
// the fraction being the local time of day. Before that day the whole part is negative and the
// fraction still counts forward from midnight (the sign applies to the date only).
using DateTime = double;

inline constexpr DateTime NoRun = 2.0;       // 01.01.1900 00:00: no such run
inline constexpr DateTime OpenFrom = 1.0;    // 31.12.1899 00:00: validity window open at the start
inline constexpr DateTime OpenTo = 100000.0; // 14.10.2173 00:00: validity window open at the end
inline constexpr std::int64_t MsPerDay = 86'400'000;

struct CivilDate
{
    int year = 1899;
    int month = 12;
    int day = 30;
};

struct ClockTime
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

/// The day number of a calendar date (years 1 to 9999), or nothing for a date that does not exist.
std::optional<DateTime> TryEncodeDate(int year, int month, int day);
/// The fraction of a day for a clock time, or nothing when a part is out of range.
std::optional<DateTime> TryEncodeTime(int hour, int minute, int second = 0, int millisecond = 0);
/// Date plus time of day, honouring the sign rule for days before 30.12.1899.
DateTime ComposeDateTime(DateTime date, DateTime time);

CivilDate DecodeDate(DateTime value);
ClockTime DecodeTime(DateTime value);

/// The whole-day part (the date at 00:00).
DateTime DateOf(DateTime value);
/// The time-of-day part, in [0, 1).
DateTime TimeOf(DateTime value);
/// 0 = Monday … 6 = Sunday.
int WeekdayMondayFirst(DateTime value);

/// "dd.mm.yyyy hh:nn", as lists and reports show a moment.
std::string FormatDateTime(DateTime value);
/// "dd.mm.yyyy hh:nn:ss", as files store a moment.
std::string FormatStampedDateTime(DateTime value);
/// "dd.mm.yyyy".
std::string FormatDate(DateTime value);

/// Milliseconds since 30.12.1899 00:00 on a straight time line (for exact schedule arithmetic).
std::int64_t ToLinearMs(DateTime value);
DateTime FromLinearMs(std::int64_t ms);

/// Reads "dd.mm.yyyy hh:nn:ss" by character position (the separators are not checked) after
/// trimming; anything else, or a moment that does not exist, gives 0.0.
DateTime ReadStampedDateTime(const std::string& text);
