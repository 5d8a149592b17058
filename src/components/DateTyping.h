#pragma once

#include "base/DateTime.h"

#include <optional>
#include <string>

/// How a typed date is moved by a hundred years.
enum class ConvertDate
{
    cdNormal, // as read
    cdPast,   // a date after today is taken a hundred years earlier
    cdFuture, // a date before today is taken a hundred years later
};

/// The characters a date field accepts: digits and ".".
std::string KeepDateCharacters(const std::string& text);

/// What leaving a date field makes of its text: nothing for empty text (no date), the day when it
/// reads as "dd.mm.yy(yy)" or as six to eight digits ("010304", "24122004"), with two-digit years
/// in 1930..2029, moved by convert relative to today. readable is false when text was typed but
/// is no date.
struct TypedDate
{
    std::optional<DateTime> date;
    bool readable = true;
};
TypedDate ReadTypedDate(const std::string& text, ConvertDate convert, DateTime today);
