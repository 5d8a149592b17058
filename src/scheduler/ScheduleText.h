#pragma once

#include "base/DateTime.h"

#include <optional>
#include <string>

// Readers and normalisers of the schedule texts. They define the stored forms: times "hh:mm",
// time lists "hh:mm; hh:mm", single moments "dd.mm.yyyy-hh:mm" separated by "; ".

/// Field n (1-based) of text split at separator, not trimmed; empty when there is no such field.
std::string ExtractToken(const std::string& text, char separator, int n);
/// 0 for a blank text, else the number of separators plus one.
int CountTokens(const std::string& text, char separator);
/// Digits and ":" only; hours capped at 23 and minutes at 59; "hh:mm".
std::string NormaliseTimeText(const std::string& text);
/// Prefixes fill until text has width characters; a longer text keeps its last width characters.
std::string PadLeftTo(const std::string& text, char fill, std::size_t width);
/// Item n of a time list, normalised and read as a time of day.
DateTime TimeOfToken(const std::string& list, int n);
/// "d.m.yyyy" after trimming; 0 when a part is not a number or the date does not exist.
DateTime ReadDate(const std::string& text);
/// "h:m" after trimming; nothing when a part is not a number or out of range.
std::optional<DateTime> TryReadTime(const std::string& text);
/// TryReadTime, 0 on any error.
DateTime ReadTime(const std::string& text);
/// ReadDate formatted "dd.mm.yyyy" (an unreadable date becomes 30.12.1899).
std::string NormaliseDateText(const std::string& text);
/// First and last day of the date's month.
DateTime MonthStart(DateTime date);
DateTime MonthEnd(DateTime date);
/// A typed time list in its stored form: "9:5;16:30" becomes "09:05; 16:30".
std::string NormaliseTimeList(const std::string& text);
/// A typed list of single moments in its stored form: "1.3.2002-12:35" becomes "01.03.2002-12:35".
std::string NormaliseFreeList(const std::string& text);
