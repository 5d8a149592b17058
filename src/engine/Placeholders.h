#pragma once

#include "base/DateTime.h"

#include <array>
#include <string>

/// Day and month names of the user-interface language.
struct CalendarNames
{
    std::array<std::string, 7> longDays;  // Monday first
    std::array<std::string, 7> shortDays; // Monday first
    std::array<std::string, 12> longMonths;
    std::array<std::string, 12> shortMonths;
};

const CalendarNames& GermanCalendarNames();
const CalendarNames& EnglishCalendarNames();
/// The names for a language index (0 "Deutsch", 1 "Englisch"); German for any other index.
const CalendarNames& CalendarNamesFor(int language);

/// What the placeholders stand for at the moment of one expansion. Folder paths come without a
/// trailing separator; an unknown value is the empty text.
struct PlaceholderValues
{
    DateTime now = 0.0;
    std::string userName;
    std::string computerName;
    std::string programsFolder;
    std::string windowsFolder;
    std::string systemFolder;
    std::string personalFolder;
    const CalendarNames* names = &GermanCalendarNames();
};

class Platform;

/// The values at now: names and folders from the platform, day and month names of the language.
PlaceholderValues PlaceholderValuesFor(Platform& platform, DateTime now, int language);

/// Replaces every "$..." placeholder of text (without regard to case) by its value. A text
/// without placeholders comes back unchanged; an unknown "$word" stays as it is.
std::string ExpandPlaceholders(const std::string& text, const PlaceholderValues& values);

/// The ISO 8601 week number of the date (1 to 53).
int IsoWeekOfYear(DateTime date);
/// The day of the year, 1 to 366.
int DayOfYear(DateTime date);
