#include "restore/Moment.h"

#include "base/Text.h"
#include "platform/Platform.h"

#include <cmath>

namespace {

constexpr DateTime UnixEpoch = 25569.0; // 01.01.1970 as days since 30.12.1899
constexpr std::int64_t MsPerSecond = 1000;

bool number(const std::string& text, std::size_t at, std::size_t length, int& value)
{
    long long n = 0;
    if (at + length > text.size() || !ParseInteger(std::string_view(text).substr(at, length), 0, 9999, n))
        return false;
    value = static_cast<int>(n);
    return true;
}

} // namespace

std::optional<DateTime> ParseMoment(const std::string& input)
{
    const std::string text = Trim(input);
    int year = 0;
    int month = 0;
    int day = 0;
    std::size_t timeAt = 0;
    if (text.size() >= 10 && text[2] == '.' && text[5] == '.') {
        if (!number(text, 0, 2, day) || !number(text, 3, 2, month) || !number(text, 6, 4, year))
            return std::nullopt;
    } else if (text.size() >= 10 && text[4] == '-' && text[7] == '-') {
        if (!number(text, 0, 4, year) || !number(text, 5, 2, month) || !number(text, 8, 2, day))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    timeAt = 10;
    const auto date = TryEncodeDate(year, month, day);
    if (!date)
        return std::nullopt;
    if (text.size() == timeAt)
        return ComposeDateTime(*date, *TryEncodeTime(23, 59, 59, 999));
    if (text[timeAt] != ' ' && text[timeAt] != 'T')
        return std::nullopt;
    const std::string clock = Trim(text.substr(timeAt + 1));
    int hour = 0;
    int minute = 0;
    int second = 0;
    if ((clock.size() != 5 && clock.size() != 8) || clock[2] != ':' || !number(clock, 0, 2, hour) ||
        !number(clock, 3, 2, minute) || (clock.size() == 8 && (clock[5] != ':' || !number(clock, 6, 2, second))))
        return std::nullopt;
    const auto time = TryEncodeTime(hour, minute, second, clock.size() == 5 ? 0 : 999);
    if (!time)
        return std::nullopt;
    // To the minute means the whole minute, to the second the whole second.
    const auto end = clock.size() == 5 ? TryEncodeTime(hour, minute, 59, 999) : time;
    return ComposeDateTime(*date, *end);
}

std::int64_t LocalOffsetSeconds(Platform& platform)
{
    const std::int64_t localSeconds = (ToLinearMs(platform.Now()) - ToLinearMs(UnixEpoch)) / MsPerSecond;
    // Rounded to whole minutes: the two clocks are read a moment apart.
    return std::llround(static_cast<double>(localSeconds - platform.UnixTime()) / 60.0) * 60;
}

std::int64_t UnixNsOf(DateTime local, std::int64_t offsetSeconds)
{
    const std::int64_t ms = ToLinearMs(local) - ToLinearMs(UnixEpoch) - offsetSeconds * MsPerSecond;
    return ms * 1'000'000 + 999'999;
}

DateTime LocalOf(std::int64_t unixNs, std::int64_t offsetSeconds)
{
    const std::int64_t ms = unixNs / 1'000'000 + offsetSeconds * MsPerSecond;
    return FromLinearMs(ToLinearMs(UnixEpoch) + ms);
}
