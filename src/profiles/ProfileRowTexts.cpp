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
