// The schedule text helpers and the next-run calculation on arbitrary values: no crash, no
// endless loop, normalised texts stay as they are when normalised again, and a computed moment
// always lies within the validity window.

#include "scheduler/NextRun.h"
#include "scheduler/ScheduleText.h"

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool isTime(const std::string& t)
{
    return t.size() == 5 && t[2] == ':' && t[0] >= '0' && t[0] <= '2' && t[3] >= '0' && t[3] <= '5' &&
           (t[0] < '2' || t[1] <= '3');
}

DateTime moment(FuzzedDataProvider& in)
{
    // From before 1900 to beyond the open end of the window, in whole milliseconds.
    return FromLinearMs(in.ConsumeIntegralInRange<std::int64_t>(-700'000 * MsPerDay, 110'000 * MsPerDay));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    ScheduleFields s;
    s.Period = in.ConsumeIntegral<std::uint8_t>();
    s.Hours = in.ConsumeIntegral<std::uint8_t>();
    s.Minutes = in.ConsumeIntegral<std::uint8_t>();
    s.Weeks = in.ConsumeIntegral<std::uint8_t>();
    s.Day = in.ConsumeIntegral<std::uint8_t>();
    s.MonthDay = in.ConsumeIntegral<std::uint8_t>();
    for (bool& day : s.DayOfWeek)
        day = in.ConsumeBool();
    s.LastRun = in.ConsumeBool() ? NoRun : moment(in);
    s.DateTimeFrom = in.ConsumeBool() ? OpenFrom : moment(in);
    s.DateTimeTo = in.ConsumeBool() ? OpenTo : moment(in);
    const DateTime now = moment(in);
    s.RunTime = in.ConsumeRandomLengthString(3000);
    s.Weektime = in.ConsumeRandomLengthString(64);
    s.Monthtime = in.ConsumeRandomLengthString(64);
    s.FreeTime = in.ConsumeRemainingBytesAsString().substr(0, 3000);

    const DateTime next = CalcNextRun(s, now);
    if (next != NoRun)
        require(ToLinearMs(next) >= ToLinearMs(s.DateTimeFrom) && ToLinearMs(next) <= ToLinearMs(s.DateTimeTo));
    if (next != NoRun && s.Period == PeriodFree)
        require(ToLinearMs(next) > ToLinearMs(now));

    require(isTime(NormaliseTimeText(s.RunTime)));
    // Lists longer than the 2000 characters a token search looks at are read only in part, so
    // only shorter ones must stay as they are.
    const std::string times = NormaliseTimeList(s.RunTime);
    require(times.size() > 2000 || NormaliseTimeList(times) == times);
    const std::string moments = NormaliseFreeList(s.FreeTime);
    require(moments.size() > 2000 || NormaliseFreeList(moments) == moments);

    const DateTime stamped = ReadStampedDateTime(s.Weektime);
    require(ReadStampedDateTime(FormatStampedDateTime(stamped)) == stamped || stamped == 0.0);
    return 0;
}
