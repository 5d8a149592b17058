// One backup run of a folder tree, for comparing the engine with cp, rsync, zip and 7z
// (bench/peers.py).
//
//   tresorio-bench-run full|incremental|zip SOURCE DESTINATION CATALOGUE
//
// A full run takes every file and records its archive state in CATALOGUE; an incremental run
// takes the files changed since; a zip run puts every file into DESTINATION/bench.zip at
// level 5. Prints the files and bytes done and the errors.

#include "QuietObserver.h"
#include "engine/BackupRun.h"
#include "platform/posix/ArchiveStateCatalogue.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixPlatform.h"
#include "profiles/ProfileText.h"

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    const bool zip = argc == 5 && std::strcmp(argv[1], "zip") == 0;
    if (argc != 5 || (std::strcmp(argv[1], "full") != 0 && std::strcmp(argv[1], "incremental") != 0 && !zip)) {
        std::cerr << "usage: tresorio-bench-run full|incremental|zip SOURCE DESTINATION CATALOGUE\n";
        return 2;
    }
    BackupJob job;
    job.profile = DefaultProfile({});
    job.profile.Name = "bench";
    job.profile.Source = {argv[2]};
    job.profile.Destination = argv[3];
    job.profile.Withsub = true;
    job.profile.Generations = 1;
    job.profile.Backuptype = std::strcmp(argv[1], "incremental") == 0 ? BackupIncremental : BackupFull;
    job.profile.Compress = zip;
    job.profile.Zipfile = "bench.zip";
    job.compression = 5;
    job.priority = 0; // the peers run at normal priority too
    job.logAll = false;
    job.logProfile = false;

    PosixPlatform platform("/proc/self/exe", ".");
    PosixFileSystem fs;
    ArchiveStateCatalogue catalogue(argv[4]);
    QuietObserver observer;
    RunControl control;
    const RunResult result = BackupRun(job, platform, fs, catalogue, observer, control).Run();
    std::cout << result.filesDone << " files, " << result.bytesDone << " bytes, " << result.errorCount << " errors\n";
    if (result.errorCount != 0)
        for (const std::string& line : result.logLines)
            std::cerr << line << '\n';
    return result.errorCount == 0 ? 0 : 1;
}
