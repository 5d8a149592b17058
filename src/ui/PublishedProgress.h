#pragma once

#include "engine/RunObserver.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

/// What a window shows of a run, read at once.
struct ProgressSnapshot
{
    ScanPhase phase = ScanPhase::Searching;
    bool phaseKnown = false; // nothing was searched or processed yet
    std::string folder;
    std::int64_t filesToDo = 0;
    std::int64_t filesDone = 0;
    std::int64_t bytesDone = 0;
    std::uint64_t generation = 0; // grows with every change, so an unchanged record is not redrawn
};

/// The progress a worker publishes for the windows: the counters are atomics and the folder sits
/// behind a short lock, so the worker never waits for a window; the window reads a snapshot on
/// its own timer. The medium questions are not answered here.
class PublishedProgress
{
public:
    void ShowScanStatus(ScanPhase phase, const std::string& folder);
    void ResetProgress();
    void SetFilesToDo(std::int64_t filesToDo);
    void ShowProgress(std::int64_t filesDone, std::int64_t bytesDone);

    ProgressSnapshot Snapshot() const;

private:
    std::atomic<std::int64_t> m_filesToDo{0};
    std::atomic<std::int64_t> m_filesDone{0};
    std::atomic<std::int64_t> m_bytesDone{0};
    std::atomic<std::uint64_t> m_generation{0};
    mutable std::mutex m_folderLock;
    ScanPhase m_phase = ScanPhase::Searching;
    bool m_phaseKnown = false;
    std::string m_folder;
};

/// The done fraction of the progress bar: files done ÷ files counted, kept within 0..1.
double DoneFraction(const ProgressSnapshot& progress);
/// What the top panel says the run does: "Durchsuche Verzeichnisse..." before the first folder,
/// "Durchsuchen: ", "Verarbeiten: ", or "Zip-Liste: " with the number of files while the archive
/// is written.
std::string PhaseText(const ProgressSnapshot& progress);
/// Bytes as the top panel shows them: the kilobytes and " kB".
std::string KilobyteText(std::int64_t bytes);
