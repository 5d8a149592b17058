#pragma once

#include "profiles/ProfileList.h"

#include <string>

/// One line per profile, its name and its "Letzte Sicherung", "Nächste Sicherung" and "Modus"
/// texts as the profile list shows them, separated by tabs.
std::string ListProfiles(const ProfileList& list);
