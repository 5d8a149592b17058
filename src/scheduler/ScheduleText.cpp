#include "scheduler/ScheduleText.h"

#include "base/Text.h"

#include <algorithm>
#include <climits>

namespace {

// Each step of ExtractToken keeps at most this many characters of the rest.
constexpr std::size_t TokenRestLimit = 2000;

std::string keepOnly(const std::string& text, std::string_view allowed)
{
    std::string out;
    for (const char c : text)
        if ((c >= '0' && c <= '9') || allowed.find(c) != std::string_view::npos)
            out += c;
    return out;
}

// A field of a normalised time holds digits only; an empty one counts as 0, and one too long
// for an integer is still a number above every limit.
int digitsValue(const std::string& digits)
{
    long long n = 0;
    if (digits.empty())
        return 0;
    return ParseInteger(digits, 0, INT_MAX, n) ? static_cast<int>(n) : INT_MAX;
}

bool readNumber(const std::string& text, int& out)
{
    long long n = 0;
    if (!ParseInteger(text, INT_MIN, INT_MAX, n))
        return false;
    out = static_cast<int>(n);
    return true;
}

std::string twoDigits(int n)
{
    return PadLeftTo(std::to_string(n), '0', 2);
}

// The first item comes from the filtered text, every later one from the text as typed; the
// list ends at the first empty item.
template <typename Normalise>
std::string normaliseList(const std::string& text, std::string_view allowed, Normalise normalise)
{
    const std::string filtered = keepOnly(text, allowed);
    std::string result;
    for (int k = 1;; ++k) {
        const std::string item = ExtractToken(k == 1 ? filtered : text, ';', k);
        if (item.empty())
            break;
        result += normalise(item) + "; ";
    }
    result = Trim(result);
    if (!result.empty() && result.back() == ';')
        result.pop_back();
    return result;
}

} // namespace

std::string ExtractToken(const std::string& text, char separator, int n)
{
    std::string_view rest = text;
    for (int i = 1; i < n; ++i) {
        const std::size_t pos = rest.find(separator);
        if (pos == std::string_view::npos)
            return {};
        rest.remove_prefix(pos + 1);
        // Only the first step can shorten the rest: every later rest lies inside the first one,
        // and the first one already ends at most TokenRestLimit characters after its start.
        if (i == 1)
            rest = rest.substr(0, CutToChars(rest, TokenRestLimit).size());
    }
    return std::string(rest.substr(0, rest.find(separator)));
}

int CountTokens(const std::string& text, char separator)
{
    if (Trim(text).empty())
        return 0;
    return static_cast<int>(std::count(text.begin(), text.end(), separator)) + 1;
}

std::string NormaliseTimeText(const std::string& text)
{
    const std::string kept = keepOnly(text, ":");
    const int hours = std::clamp(digitsValue(ExtractToken(kept, ':', 1)), 0, 23);
    const int minutes = std::clamp(digitsValue(ExtractToken(kept, ':', 2)), 0, 59);
    return twoDigits(hours) + ":" + twoDigits(minutes);
}

std::string PadLeftTo(const std::string& text, char fill, std::size_t width)
{
    if (text.size() >= width)
        return text.substr(text.size() - width);
    return std::string(width - text.size(), fill) + text;
}

DateTime TimeOfToken(const std::string& list, int n)
{
    return ReadTime(NormaliseTimeText(ExtractToken(list, ';', n)));
}

DateTime ReadDate(const std::string& text)
{
    const std::string t = Trim(text);
    int day = 0, month = 0, year = 0;
    if (!readNumber(ExtractToken(t, '.', 1), day) || !readNumber(ExtractToken(t, '.', 2), month) ||
        !readNumber(ExtractToken(t, '.', 3), year))
        return 0.0;
    return TryEncodeDate(year, month, day).value_or(0.0);
}

std::optional<DateTime> TryReadTime(const std::string& text)
{
    const std::string t = Trim(text);
    int hours = 0, minutes = 0;
    if (!readNumber(ExtractToken(t, ':', 1), hours) || !readNumber(ExtractToken(t, ':', 2), minutes))
        return std::nullopt;
    return TryEncodeTime(hours, minutes);
}

DateTime ReadTime(const std::string& text)
{
    return TryReadTime(text).value_or(0.0);
}

std::string NormaliseDateText(const std::string& text)
{
    return FormatDate(ReadDate(text));
}

DateTime MonthStart(DateTime date)
{
    const CivilDate d = DecodeDate(date);
    return TryEncodeDate(d.year, d.month, 1).value_or(DateOf(date));
}

DateTime MonthEnd(DateTime date)
{
    const CivilDate d = DecodeDate(date);
    return TryEncodeDate(d.year, d.month, DaysInMonth(d.year, d.month)).value_or(DateOf(date));
}

std::string NormaliseTimeList(const std::string& text)
{
    return normaliseList(text, ":;", NormaliseTimeText);
}

std::string NormaliseFreeList(const std::string& text)
{
    return normaliseList(text, "-.:;", [](const std::string& item) {
        return NormaliseDateText(ExtractToken(item, '-', 1)) + "-" + NormaliseTimeText(ExtractToken(item, '-', 2));
    });
}
