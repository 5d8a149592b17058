// The next-run calculation runs for every profile at load and after every run.

#include "scheduler/NextRun.h"

#include <benchmark/benchmark.h>

namespace {

void CalcNextRunByKind(benchmark::State& state)
{
    ScheduleFields s;
    s.Period = static_cast<std::uint8_t>(state.range(0));
    s.Hours = 0;
    s.Minutes = 5;
    s.RunTime = "08:00; 12:00; 16:30; 20:00";
    s.DayOfWeek = {false, false, false, false, false, false, true};
    s.Weeks = 3;
    s.Day = 4;
    s.Weektime = "12:00";
    s.MonthDay = 31;
    s.Monthtime = "18:00";
    s.FreeTime = "01.03.2030-12:35; 24.12.2029-18:00; 01.01.2031-00:00";
    DateTime now = 46000.9;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalcNextRun(s, now));
        now += 0.001;
    }
}
BENCHMARK(CalcNextRunByKind)->DenseRange(2, 6);

} // namespace
