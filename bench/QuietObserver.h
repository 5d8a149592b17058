#pragma once

#include "engine/RunObserver.h"

/// A run's view for the benchmarks: shows nothing, lets every destination pass and asks for no
/// further medium.
class QuietObserver final : public RunObserver
{
public:
    void ShowScanStatus(ScanPhase, const std::string&) override {}
    void ResetProgress() override {}
    void SetFilesToDo(std::int64_t) override {}
    void ShowProgress(std::int64_t, std::int64_t) override {}
    bool CheckDest(const std::string&, const std::string&) override { return true; }
    bool NextDisk(int, int, const std::string&) override { return false; }
};
