#include "engine/Placeholders.h"

#include "base/Text.h"
#include "platform/Platform.h"

#include <cstdio>
#include <functional>
#include <vector>

namespace {

std::string digits(int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

struct Moment
{
    CivilDate date;
    ClockTime time;
    int weekday; // 0 = Monday
};

struct Placeholder
{
    const char* name;
    std::function<std::string(const Moment&, const PlaceholderValues&)> value;
};

std::string yy(const Moment& m)
{
    return digits(m.date.year % 100, 2);
}

std::string yyyymmdd(const Moment& m)
{
    return digits(m.date.year, 4) + digits(m.date.month, 2) + digits(m.date.day, 2);
}

std::string hhnn(const Moment& m)
{
    return digits(m.time.hour, 2) + digits(m.time.minute, 2);
}

// The order matters: a placeholder that begins like a shorter one comes first ("$dayname"
// before "$day", "$datetime" before "$date").
const std::vector<Placeholder>& placeholders()
{
    static const std::vector<Placeholder> table = {
        {"$dayname", [](const Moment& m, const PlaceholderValues& v) { return v.names->longDays[m.weekday]; }},
        {"$shortdayname", [](const Moment& m, const PlaceholderValues& v) { return v.names->shortDays[m.weekday]; }},
        {"$monthname",
         [](const Moment& m, const PlaceholderValues& v) { return v.names->longMonths[m.date.month - 1]; }},
        {"$shortmonthname",
         [](const Moment& m, const PlaceholderValues& v) { return v.names->shortMonths[m.date.month - 1]; }},
        {"$year", [](const Moment& m, const PlaceholderValues&) { return digits(m.date.year, 4); }},
        {"$shortyear", [](const Moment& m, const PlaceholderValues&) { return yy(m); }},
        {"$shortdatetime",
         [](const Moment& m, const PlaceholderValues&) { return yyyymmdd(m).substr(2) + "-" + hhnn(m); }},
        {"$shortdate", [](const Moment& m, const PlaceholderValues&) { return yyyymmdd(m).substr(2); }},
        {"$datetime", [](const Moment& m, const PlaceholderValues&) { return yyyymmdd(m) + "-" + hhnn(m); }},
        {"$dayofyear", [](const Moment&, const PlaceholderValues& v) { return digits(DayOfYear(v.now), 3); }},
        {"$weekofyear", [](const Moment&, const PlaceholderValues& v) { return digits(IsoWeekOfYear(v.now), 3); }},
        {"$time", [](const Moment& m, const PlaceholderValues&) { return hhnn(m); }},
        {"$hour", [](const Moment& m, const PlaceholderValues&) { return digits(m.time.hour, 2); }},
        {"$minute", [](const Moment& m, const PlaceholderValues&) { return digits(m.time.minute, 2); }},
        // 1 = Sunday … 7 = Saturday.
        {"$dayofweek",
         [](const Moment& m, const PlaceholderValues&) { return std::to_string((m.weekday + 1) % 7 + 1); }},
        {"$username", [](const Moment&, const PlaceholderValues& v) { return v.userName; }},
        {"$computername", [](const Moment&, const PlaceholderValues& v) { return v.computerName; }},
        {"$programfolder", [](const Moment&, const PlaceholderValues& v) { return v.programsFolder; }},
        {"$windowsfolder", [](const Moment&, const PlaceholderValues& v) { return v.windowsFolder; }},
        {"$systemfolder", [](const Moment&, const PlaceholderValues& v) { return v.systemFolder; }},
        {"$personalfolder", [](const Moment&, const PlaceholderValues& v) { return v.personalFolder; }},
        {"$day", [](const Moment& m, const PlaceholderValues&) { return digits(m.date.day, 2); }},
        {"$month", [](const Moment& m, const PlaceholderValues&) { return digits(m.date.month, 2); }},
        {"$date", [](const Moment& m, const PlaceholderValues&) { return yyyymmdd(m); }},
    };
    return table;
}

// Replaces each occurrence that stands in text now, once: a value that contains its own
// placeholder (a user name with "$username" in it) is not expanded again and again.
std::string replaceEach(const std::string& text, std::string_view name, const std::string& value)
{
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = FindNoCase(text, name); at != std::string::npos; at = FindNoCase(text, name, from)) {
        out.append(text, from, at - from);
        out += value;
        from = at + name.size();
    }
    out.append(text, from);
    return out;
}

int weekdayOfJanuaryFirst(int year)
{
    return WeekdayMondayFirst(TryEncodeDate(year, 1, 1).value_or(0.0));
}

} // namespace

const CalendarNames& GermanCalendarNames()
{
    static const CalendarNames names = {
        {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"},
        {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"},
        {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober", "November",
         "Dezember"},
        {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    };
    return names;
}

const CalendarNames& EnglishCalendarNames()
{
    static const CalendarNames names = {
        {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"},
        {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"},
        {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November",
         "December"},
        {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
    };
    return names;
}

const CalendarNames& CalendarNamesFor(int language)
{
    return language == 1 ? EnglishCalendarNames() : GermanCalendarNames();
}

int DayOfYear(DateTime date)
{
    const CivilDate d = DecodeDate(date);
    return static_cast<int>(DateOf(date) - TryEncodeDate(d.year, 1, 1).value_or(DateOf(date))) + 1;
}

int IsoWeekOfYear(DateTime date)
{
    static constexpr int offsetOfJanuaryFirst[] = {0, 1, 2, 3, -3, -2, -1}; // Monday first
    static constexpr int offsetOfDay[] = {2, 1, 0, -1, -2, -3, -4};
    const int year = DecodeDate(date).year;
    const int n = DayOfYear(date);
    const int a = n + offsetOfJanuaryFirst[weekdayOfJanuaryFirst(year)];
    if (a <= 0)
        return IsoWeekOfYear(TryEncodeDate(year - 1, 12, 31).value_or(0.0));
    const int b = n + offsetOfDay[WeekdayMondayFirst(date)];
    if (b >= (IsLeapYear(year) ? 366 : 365))
        return 1;
    return (a - 1) / 7 + 1;
}

PlaceholderValues PlaceholderValuesFor(Platform& platform, DateTime now, int language)
{
    return {now,
            platform.UserName(),
            platform.ComputerName(),
            platform.SpecialFolderPath(SpecialFolder::Programs),
            platform.SpecialFolderPath(SpecialFolder::Windows),
            platform.SpecialFolderPath(SpecialFolder::System),
            platform.SpecialFolderPath(SpecialFolder::Personal),
            &CalendarNamesFor(language)};
}

std::string ExpandPlaceholders(const std::string& text, const PlaceholderValues& values)
{
    if (text.find('$') == std::string::npos)
        return text;
    const Moment moment{DecodeDate(values.now), DecodeTime(values.now), WeekdayMondayFirst(values.now)};
    std::string result = text;
    for (const Placeholder& p : placeholders())
        if (FindNoCase(result, p.name) != std::string::npos)
            result = replaceEach(result, p.name, p.value(moment, values));
    return result;
}
