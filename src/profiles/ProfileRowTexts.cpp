#include "profiles/ProfileRowTexts.h"

namespace {

// On this platform deletions into the trash never get the "in Papierkorb" note: the list shows
// it only on the Windows 95/98/ME family.

std::string nextRunText(const TProfile& p)
{
    return p.Period == PeriodNotPeriodic || p.NextRun == NoRun ? "-" : FormatDateTime(p.NextRun);
}

} // namespace

std::string BackupTypeText(int backupType)
{
    switch (backupType) {
    case BackupFull:
        return "Vollsicherung";
    case BackupIncremental:
        return "Inkrementell";
    case BackupDelete:
        return "Dateien löschen";
    case BackupMove:
        return "Dateien verschieben";
    case BackupDifferential:
        return "Differenziell";
    case BackupSynchronise:
        return "Synchronisieren";
    default:
        return {};
    }
}

ProfileRowTexts AddedRowTexts(const TProfile& p)
{
    ProfileRowTexts texts{p.Name, p.LastRun == NoRun ? "-" : FormatDateTime(p.LastRun), nextRunText(p),
                          BackupTypeText(p.Backuptype)};
    if (p.Compress)
        texts.mode += ", komprimieren";
    return texts;
}

ProfileRowTexts RefreshedRowTexts(const TProfile& p, bool running)
{
    ProfileRowTexts texts{p.Name, "-", nextRunText(p), BackupTypeText(p.Backuptype)};
    if (running) {
        texts.lastRun = "läuft...";
    } else if (p.LastRun != NoRun) {
        texts.lastRun = FormatDateTime(p.LastRun);
        if (p.Errors != 0)
            texts.lastRun += " (" + std::to_string(p.Errors) + " Err)";
    }
    // A refresh names every unknown kind of run after the moving kind.
    if (texts.mode.empty())
        texts.mode = BackupTypeText(BackupMove);
    const bool compressible = p.Backuptype < BackupDelete || p.Backuptype == BackupDifferential;
    if (p.Compress && compressible)
        texts.mode += ", komprimieren";
    return texts;
}

int RowImageIndex(const TProfile& profile, bool running, bool paused)
{
    if (running)
        return paused ? 3 : 2;
    return profile.Errors != 0 ? 1 : 0;
}

ProfileDetailTexts DetailTexts(const TProfile& p)
{
    const auto countOrDash = [](std::int64_t value, const char* suffix) {
        return value > 0 ? std::to_string(value) + suffix : std::string("-");
    };
    ProfileDetailTexts details;
    details.name = p.Name;
    details.lastRun = p.LastRun == NoRun ? "-" : FormatDateTime(p.LastRun);
    details.hasErrors = p.Errors != 0;
    details.errors = details.hasErrors ? std::to_string(p.Errors) : std::string();
    details.files = countOrDash(p.FilesCount, "");
    details.bytes = countOrDash(p.FilesSize, "");
    details.rate = countOrDash(p.FilesCompressed, "%");
    details.nextRun = p.Period != PeriodNotPeriodic && p.NextRun > NoRun ? FormatDateTime(p.NextRun) : "-";
    details.mode = RefreshedRowTexts(p, false).mode;
    return details;
}
