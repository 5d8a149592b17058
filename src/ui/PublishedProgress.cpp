#include "ui/PublishedProgress.h"

#include <algorithm>

void PublishedProgress::ShowScanStatus(ScanPhase phase, const std::string& folder)
{
    {
        const std::lock_guard lock(m_folderLock);
        m_phase = phase;
        m_phaseKnown = true;
        m_folder = folder;
    }
    m_generation.fetch_add(1, std::memory_order_release);
}

void PublishedProgress::ResetProgress()
{
    m_filesDone.store(0, std::memory_order_relaxed);
    m_bytesDone.store(0, std::memory_order_relaxed);
    {
        const std::lock_guard lock(m_folderLock);
        m_phaseKnown = false;
        m_folder.clear();
    }
    m_generation.fetch_add(1, std::memory_order_release);
}

void PublishedProgress::SetFilesToDo(std::int64_t filesToDo)
{
    m_filesToDo.store(filesToDo, std::memory_order_relaxed);
    m_generation.fetch_add(1, std::memory_order_release);
}

void PublishedProgress::ShowProgress(std::int64_t filesDone, std::int64_t bytesDone)
{
    m_filesDone.store(filesDone, std::memory_order_relaxed);
    m_bytesDone.store(bytesDone, std::memory_order_relaxed);
    m_generation.fetch_add(1, std::memory_order_release);
}

ProgressSnapshot PublishedProgress::Snapshot() const
{
    ProgressSnapshot snapshot;
    snapshot.generation = m_generation.load(std::memory_order_acquire);
    snapshot.filesToDo = m_filesToDo.load(std::memory_order_relaxed);
    snapshot.filesDone = m_filesDone.load(std::memory_order_relaxed);
    snapshot.bytesDone = m_bytesDone.load(std::memory_order_relaxed);
    const std::lock_guard lock(m_folderLock);
    snapshot.phase = m_phase;
    snapshot.phaseKnown = m_phaseKnown;
    snapshot.folder = m_folder;
    return snapshot;
}

double DoneFraction(const ProgressSnapshot& progress)
{
    if (progress.filesToDo <= 0)
        return 0.0;
    return std::clamp(static_cast<double>(progress.filesDone) / static_cast<double>(progress.filesToDo), 0.0, 1.0);
}

std::string PhaseText(const ProgressSnapshot& progress)
{
    if (!progress.phaseKnown)
        return "Durchsuche Verzeichnisse...";
    switch (progress.phase) {
    case ScanPhase::Searching:
        return "Durchsuchen: ";
    case ScanPhase::Processing:
        return "Verarbeiten: ";
    case ScanPhase::ZipList:
        return "Zip-Liste: " + std::to_string(progress.filesToDo) + " Datei(en)";
    }
    return {};
}

std::string KilobyteText(std::int64_t bytes)
{
    return std::to_string(bytes / 1024) + " kB";
}
