// A restore and a listing of what a backup holds, for comparing with cp and unzip
// (bench/peers.py).
//
//   tresorio-bench-restore folder|zip SOURCE BACKUP TARGET
//   tresorio-bench-restore list-zip SOURCE BACKUP
//
// folder restores everything a full backup of SOURCE left in the folder BACKUP into TARGET; zip
// the same from BACKUP/bench.zip. list-zip reads the entries of BACKUP/bench.zip as the listing
// does and prints their count.

#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixPlatform.h"
#include "profiles/ProfileText.h"
#include "restore/BackupContents.h"
#include "restore/Restorer.h"

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    const bool list = argc == 4 && std::strcmp(argv[1], "list-zip") == 0;
    const bool zip = list || (argc == 5 && std::strcmp(argv[1], "zip") == 0);
    if (!list && (argc != 5 || (std::strcmp(argv[1], "folder") != 0 && !zip))) {
        std::cerr << "usage: tresorio-bench-restore folder|zip SOURCE BACKUP TARGET\n"
                     "       tresorio-bench-restore list-zip SOURCE BACKUP\n";
        return 2;
    }
    TProfile profile = DefaultProfile({});
    profile.Name = "bench";
    profile.Source = {argv[2]};
    profile.Destination = argv[3];
    profile.Withsub = true;
    profile.Backuptype = BackupFull;
    profile.Compress = zip;
    profile.Zipfile = "bench.zip";

    PosixPlatform platform("/proc/self/exe", ".");
    PosixFileSystem fs;
    const BackupContents contents = ReadBackupContents(profile, platform, fs, nullptr, platform.Now(), 0);
    for (const std::string& problem : contents.problems)
        std::cerr << problem << '\n';
    if (list) {
        std::cout << contents.catalogue.entries().size() << " entries\n";
        return contents.problems.empty() ? 0 : 1;
    }
    RunControl control;
    RestoreRequest request;
    request.items = contents.catalogue.StateAt(std::nullopt, contents.wholeSets);
    request.layout = &contents.layout;
    request.targetFolder = argv[4];
    request.scratchFolder = "/tmp";
    const RestoreOutcome outcome = Restorer(fs, control).Run(request);
    std::cout << outcome.stats.filesDone << " files, " << outcome.stats.bytesDone << " bytes, "
              << outcome.stats.errorCount << " errors\n";
    for (const std::string& line : outcome.lines)
        std::cerr << line << '\n';
    return outcome.stats.errorCount == 0 && contents.problems.empty() ? 0 : 1;
}
