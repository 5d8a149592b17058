#include "components/DateTyping.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// The century rule of two-digit years: 30..99 are 19xx, 00..29 are 20xx.
constexpr int TwoDigitYearMax = 2029;

bool allDigits(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::optional<int> number(const std::string& text, std::size_t maxLength)
{
    if (text.empty() || text.size() > maxLength || !allDigits(text))
        return std::nullopt;
    return std::stoi(text);
}

std::optional<DateTime> movedYears(DateTime day, int years)
{
    const CivilDate date = DecodeDate(day);
    return TryEncodeDate(date.year + years, date.month, date.day);
}

} // namespace

std::string KeepDateCharacters(const std::string& text)
{
    std::string kept;
    for (const char c : text)
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.')
            kept += c;
    return kept;
}

TypedDate ReadTypedDate(const std::string& text, ConvertDate convert, DateTime today)
{
    std::string kept = KeepDateCharacters(text);
    const bool blank = std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
    if (blank)
        return {std::nullopt, true};
    if (kept.size() >= 6 && kept.size() <= 8 && allDigits(kept))
        kept = kept.substr(0, 2) + "." + kept.substr(2, 2) + "." + kept.substr(4);

    std::vector<std::string> parts(1);
    for (const char c : kept) {
        if (c == '.')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    if (parts.size() == 4 && parts.back().empty())
        parts.pop_back(); // "24.12.2004." is still a date
    if (parts.size() != 3)
        return {std::nullopt, false};
    const auto day = number(parts[0], 2);
    const auto month = number(parts[1], 2);
    auto year = number(parts[2], 4);
    if (!day || !month || !year || parts[2].size() == 3)
        return {std::nullopt, false};
    if (parts[2].size() <= 2) {
        *year += (TwoDigitYearMax / 100) * 100;
        if (*year > TwoDigitYearMax)
            *year -= 100;
    }
    std::optional<DateTime> date = TryEncodeDate(*year, *month, *day);
    if (!date)
        return {std::nullopt, false};
    const DateTime todayDate = DateOf(today);
    if (convert == ConvertDate::cdPast && *date > todayDate)
        date = movedYears(*date, -100);
    else if (convert == ConvertDate::cdFuture && *date < todayDate)
        date = movedYears(*date, 100);
    // 29 February a hundred years away may not exist: the move fails, and so does the date.
    return date ? TypedDate{date, true} : TypedDate{std::nullopt, false};
}
