#pragma once

#include "base/DateTime.h"

#include <vector>

/// Easter Sunday of a year of the Gregorian calendar (Gauss's rule with its two April exceptions).
CivilDate EasterSunday(int year);

/// The public holidays the calendar marks in a year, in the order of the holiday list: 1 and 6
/// January, 1 May, 15 August, 26 October, 1 November, 8, 25 and 26 December, then Easter Sunday
/// and Monday, Ascension, Whit Sunday and Monday and Corpus Christi.
std::vector<DateTime> HolidaysOfYear(int year);
/// Reads a holiday list of four-character entries ("DDMM", or "O+NN" / "O-NN" days from Easter).
std::vector<DateTime> HolidaysOfYear(int year, const std::string& list);
