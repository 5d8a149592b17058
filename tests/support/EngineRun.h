#pragma once

#include "engine/BackupRun.h"
#include "support/FakePlatform.h"
#include "support/RecordingObserver.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

/// A fixture that runs the engine on real files: a temporary folder with a source and a
/// destination, a fake platform, an observer and the settings a run takes from the program.
class EngineRun : public ::testing::Test
{
protected:
    TempDir dir;
    std::filesystem::path src = dir / "quelle";
    std::filesystem::path dst = dir / "ziel";
    std::filesystem::path dataFolder = dir / "programmdaten";
    FakePlatform platform;
    RecordingObserver observer;
    RunControl control;
    bool logAll = true;
    bool logProfile = false;
    bool logError = true;
    std::int32_t attributeMask = 32 + 4 + 2 + 1;
    bool someoneToAsk = false; // the user started the run from the window

    EngineRun();

    /// A profile of the given type from src to dst, with subfolders and one generation.
    TProfile profile(std::uint8_t type) const;
    /// Runs p on fs; each run opens the archive-state catalogue afresh, as each start of the
    /// program does.
    RunResult run(FileSystem& fs, const TProfile& p, std::int64_t reference = NeverRan);
};
