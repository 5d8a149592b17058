#pragma once

#include "profiles/TProfile.h"

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
