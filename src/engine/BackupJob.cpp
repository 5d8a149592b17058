#include "engine/BackupJob.h"

#include "base/ProgramSettings.h"

std::int32_t AttributeMaskOf(const TProfile& p, const ProgramSettings& settings)
{
    const bool readOnly = p.XFileAtt ? p.RFileAtt : settings.ReadOnly;
    const bool hidden = p.XFileAtt ? p.HFileAtt : settings.Hidden;
    const bool system = p.XFileAtt ? p.SFileAtt : settings.System;
    return 32 + (readOnly ? 1 : 0) + (hidden ? 2 : 0) + (system ? 4 : 0);
}

BackupJob MakeBackupJob(const TProfile& profile, const ProgramSettings& settings, std::int64_t referenceTime)
{
    BackupJob job;
    job.profile = profile;
    job.referenceTime = referenceTime;
    job.attributeMask = AttributeMaskOf(profile, settings);
    job.compression = settings.Compression;
    job.priority = profile.Prior ? profile.Priority : settings.Priority;
    job.logAll = settings.LogAll;
    job.logError = settings.LogError;
    job.logProfile = settings.LogProfile;
    job.ftpTransferExt = settings.FTPTransferEXT;
    job.language = settings.Language;
    return job;
}
