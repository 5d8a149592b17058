// Reading and writing the profile file, which happens at every start and end of a run.

#include "profiles/ProfileFile.h"
#include "scheduler/NextRun.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

namespace {

ProfileList manyProfiles(int count)
{
    ProfileList list;
    for (int i = 0; i < count; ++i) {
        TProfile p = DefaultProfile({});
        p.Name = "Profil " + std::to_string(i);
        p.Source = {"/home/anna/Dokumente/", "/home/anna/Bilder/"};
        p.Destination = "/media/backup/$date/";
        p.NetLogon = true;
        p.NetUser = "anna";
        p.NetPasswd = "geheim";
        p.Password = "zip";
        p.Period = PeriodDaily;
        p.RunTime = "08:00; 12:00; 16:30";
        p.DayOfWeek = {true, true, true, true, true, false, false};
        p.MissedBackup = i % 2 == 0;
        p.LastRun = 46000.5;
        p.NextRun = 46001.5;
        list.AddToProfile(p);
    }
    return list;
}

void SaveProfiles(benchmark::State& state)
{
    const auto folder = std::filesystem::temp_directory_path() / ("tresorio-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const ProfileList list = manyProfiles(static_cast<int>(state.range(0)));
    ProfileFile file(folder / "Backup.bpf");
    for (auto _ : state)
        if (file.SaveProfiles(list))
            state.SkipWithError("save failed");
    std::filesystem::remove_all(folder);
}
BENCHMARK(SaveProfiles)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond);

void ParseProfiles(benchmark::State& state)
{
    std::mt19937 random(1);
    std::string content;
    ProfileFile::FormatProfiles(manyProfiles(static_cast<int>(state.range(0))), random, content);
    const auto recalculate = NextRunRecalculationAt(46001.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseProfileText(content, {}, recalculate));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * content.size()));
}
BENCHMARK(ParseProfiles)->Arg(10)->Arg(200)->Unit(benchmark::kMicrosecond);

} // namespace
