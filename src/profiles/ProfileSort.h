#pragma once

#include "profiles/ProfileList.h"

/// The columns of the profile list.
enum class ProfileColumn
{
    Name,    // "Name"
    LastRun, // "Letzte Sicherung"
    NextRun, // "Nächste Sicherung"
    Mode,    // "Modus"
};

/// Puts the rows in ascending order of column: names and modes as texts without regard to case,
/// the two dates by their moment (a row that shows none, "-", first) — the day-first texts would
/// put 02.01.2004 before 15.12.2003. Rows that are equal keep their order.
void SortProfiles(ProfileList& profiles, ProfileColumn column);
