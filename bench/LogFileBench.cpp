// Appending a run's report to a large log, as every run does: the time must not grow with the
// log, and neither must the memory. The log lies where the build does (1 GB of disk).

#include "log/LogFile.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t GiB = std::uint64_t{1} << 30;

std::vector<std::string> reportOf(const std::string& name)
{
    std::vector<std::string> lines = {std::string(60, '='), "Profil                : " + name, std::string(60, '=')};
    for (int i = 0; i < 40; ++i)
        lines.push_back("/home/anna/Dokumente/Projekt/Kapitel-" + std::to_string(i) + ".odt");
    lines.push_back(std::string(60, '='));
    lines.push_back("");
    return lines;
}

// A log of about bytes bytes: reports of about 2 KB, or (oneLine) one line without an end.
void writeLog(const std::filesystem::path& path, std::uint64_t bytes, bool oneLine)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string piece;
    if (oneLine) {
        piece.assign(1 << 20, 'x');
    } else {
        for (const std::string& line : reportOf("Alt"))
            piece += line + "\r\n";
    }
    for (std::uint64_t written = 0; written < bytes; written += piece.size())
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    out.close();
    ::sync(); // a log that has been there a while is on the disk already
}

double peakMiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// range(0): the limit in MiB; range(1): 1 for a log that is one long line.
void AppendToALargeLog(benchmark::State& state)
{
    const auto folder = std::filesystem::path("tresorio-bench-log-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::uint64_t limit = static_cast<std::uint64_t>(state.range(0)) << 20;
    const bool oneLine = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        writeLog(folder / "Backup.log", GiB, oneLine);
        LogFile log(folder / "Backup.log");
        state.ResumeTiming();
        if (!log.AppendReport(reportOf("Neu"), static_cast<std::int64_t>(limit)))
            state.SkipWithError("append failed");
    }
    state.counters["peak_MiB"] = peakMiB();
    std::filesystem::remove_all(folder);
}
BENCHMARK(AppendToALargeLog)
    ->Args({2048, 0}) // within the limit: appended only
    ->Args({1, 0})    // trimmed to the newest mebibyte
    ->Args({1, 1})    // one line of a gibibyte: nothing to cut at, nothing read whole
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

} // namespace
