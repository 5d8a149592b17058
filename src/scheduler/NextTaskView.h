#pragma once

#include <string>

/// What the status bar and the idle top panel say of the profile that runs next.
struct NextTaskView
{
    std::string status;  // the status bar: "Nächste Sicherung: Name (dd.mm.yyyy hh:nn)", "Pausiert..."
    std::string profile; // the name, "Kein Profil aktiv" or "Pausiert..."
    std::string mode;    // its "Modus" text, or empty
    std::string when;    // its "Nächste Sicherung" text, or empty
};
