#include "support/EngineRun.h"

#include "platform/posix/ArchiveStateCatalogue.h"
#include "profiles/ProfileText.h"

EngineRun::EngineRun()
{
    std::filesystem::create_directories(src);
    std::filesystem::create_directories(dataFolder); // as the program has it before any run
}

TProfile EngineRun::profile(std::uint8_t type) const
{
    TProfile p = DefaultProfile({});
    p.Name = "Test";
    p.Source = {src.string()};
    p.Destination = dst.string();
    p.Withsub = true;
    p.Backuptype = type;
    p.Generations = 1;
    return p;
}

RunResult EngineRun::run(FileSystem& fs, const TProfile& p, std::int64_t reference)
{
    BackupJob job;
    job.profile = p;
    job.referenceTime = reference;
    job.logAll = logAll;
    job.logProfile = logProfile;
    job.logError = logError;
    job.attributeMask = attributeMask;
    job.dataFolder = dataFolder.string();
    job.someoneToAsk = someoneToAsk;
    ArchiveStateCatalogue catalogue(dir / "archive-state.db");
    return BackupRun(job, platform, fs, catalogue, observer, control).Run();
}
