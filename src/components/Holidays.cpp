#include "components/Holidays.h"

#include <cctype>

namespace {

constexpr const char* HolidayList = "010106010105150826100111081225122612O+00O+01O+39O+49O+50O+60";

int twoDigits(const std::string& text, std::size_t at)
{
    if (!std::isdigit(static_cast<unsigned char>(text[at])) || !std::isdigit(static_cast<unsigned char>(text[at + 1])))
        return -1;
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

} // namespace

CivilDate EasterSunday(int year)
{
    const int k = year / 100;
    const int p = (k - (k - 17) / 25) / 3;
    const int m = (15 + k - k / 4 - p) % 30;
    const int n = (4 + k - k / 4) % 7;
    const int a = year % 19;
    const int b = year % 4;
    const int c = year % 7;
    const int d = (19 * a + m) % 30;
    const int e = (2 * b + 4 * c + 6 * d + n) % 7;
    if (d + e + 22 <= 31)
        return {year, 3, d + e + 22};
    if (d == 29 && e == 6)
        return {year, 4, 19};
    if (d == 28 && e == 6 && a > 10)
        return {year, 4, 18};
    return {year, 4, d + e - 9};
}

std::vector<DateTime> HolidaysOfYear(int year, const std::string& list)
{
    std::vector<DateTime> holidays;
    const CivilDate easter = EasterSunday(year);
    const DateTime easterDay = TryEncodeDate(easter.year, easter.month, easter.day).value_or(0.0);
    for (std::size_t at = 0; at + 4 <= list.size(); at += 4) {
        const int day = twoDigits(list, at);
        if (day >= 1) {
            holidays.push_back(TryEncodeDate(year, twoDigits(list, at + 2), day).value_or(0.0));
        } else if (std::toupper(static_cast<unsigned char>(list[at])) == 'O') {
            const int days = std::max(0, twoDigits(list, at + 2));
            holidays.push_back(easterDay + (list[at + 1] == '-' ? -days : days));
        } else {
            holidays.push_back(0.0);
        }
    }
    return holidays;
}

std::vector<DateTime> HolidaysOfYear(int year)
{
    return HolidaysOfYear(year, HolidayList);
}
