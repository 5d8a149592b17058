#pragma once

#include <cstdint>
#include <string>

/// What a status line says the run is doing.
enum class ScanPhase
{
    Searching,  // "Durchsuchen: " (the counting pass)
    Processing, // "Verarbeiten: "
    ZipList,    // "Zip-Liste: " (the archive is being written)
};

/// Where a run reports its progress. Every call but CheckDest and NextDisk must return at once: the run
/// never waits for a window to repaint.
class RunObserver
{
public:
    virtual ~RunObserver() = default;

    /// The folder (in lower case) the run searches or processes now.
    virtual void ShowScanStatus(ScanPhase phase, const std::string& folder) = 0;
    /// Progress starts again from zero.
    virtual void ResetProgress() = 0;
    /// The number of files the counting pass selected.
    virtual void SetFilesToDo(std::int64_t filesToDo) = 0;
    /// Files and bytes done so far.
    virtual void ShowProgress(std::int64_t filesDone, std::int64_t bytesDone) = 0;
    /// Whether the destination's medium carries the expected name; may ask the user, and the
    /// run waits for the answer.
    virtual bool CheckDest(const std::string& destination, const std::string& expectedName) = 0;
    /// Asks for medium number of total (0: not known) of a split archive in drive (the mount
    /// point); the run waits for the answer. False when the user cancels.
    virtual bool NextDisk(int number, int total, const std::string& drive) = 0;
};
