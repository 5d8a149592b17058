#pragma once

#include "profiles/TProfile.h"

#include <optional>
#include <string>

/// The texts of a profile's row in the profile list, as the list shows them.
struct ProfileRowTexts
{
    std::string name;
    std::string lastRun; // "Letzte Sicherung"
    std::string nextRun; // "Nächste Sicherung"
    std::string mode;    // "Modus"
};

/// The texts a row gets when the profile is first added to the list.
ProfileRowTexts AddedRowTexts(const TProfile& profile);
/// The texts every refresh of the list writes; running marks the row of the active run.
ProfileRowTexts RefreshedRowTexts(const TProfile& profile, bool running);
/// "Vollsicherung", "Inkrementell", … for a Backuptype; the empty text for an unknown one.
std::string BackupTypeText(int backupType);

/// The row's picture: 2 for the running profile (3 while the scheduler is paused), else 1 when its
/// last run had errors, else 0 (the tray uses the same numbers).
int RowImageIndex(const TProfile& profile, bool running, bool paused);

/// The eight lines the details pane shows of a profile.
struct ProfileDetailTexts
{
    std::string name;
    std::string lastRun;    // after "Letzte Sicherung: "
    std::string errors;     // the number of errors, empty for "Fehlerfrei"
    bool hasErrors = false; // the errors line is shown in dark red and opens the log
    std::string files;      // after "Dateien gesichert: "
    std::string bytes;      // after "Bytes gesichert: "
    std::string rate;       // after "Komprimierungsrate: "
    std::string nextRun;    // after "Nächste Sicherung: "
    std::string mode;
    std::optional<int> overdueDays; // days since the last run without errors, when that is too long
};

/// The values of the details pane; the windows put the translated words before them.
ProfileDetailTexts DetailTexts(const TProfile& profile);
