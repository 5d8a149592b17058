#pragma once

#include "base/DateTime.h"

#include <array>
#include <string>

class SettingsStore;

// The file masks sent as text in the FTP mode "Auto". No "*.dat": such files are as often binary.
inline constexpr const char* DefaultFtpTransferExt = "*.txt,*.htm,*.html,*.shtml,*.ascii,*.css,*.cgi,*.conf,*.pl,*.ini";

inline constexpr const char* DefaultAutoUpdateUrl = "https://tresorio.kestrova.de/backupversiond.html";

/// The largest values the settings may hold; a number outside its range reads as the default,
/// so nothing computed from a hand-edited settings.ini can overflow.
inline constexpr int MaxLogSizeKb = 2'000'000;
inline constexpr int MaxWaitAfterAutostartMinutes = 60;
inline constexpr int MaxAutoUpdateDays = 36'500;
inline constexpr int MaxColumnWidth = 10'000;
inline constexpr int MaxOverdueDays = 3650;

/// The program-wide settings, held in memory while the program runs. The values given here are
/// the defaults, also for a value that is missing or out of range in settings.ini.
struct ProgramSettings
{
    bool Suspend = false;
    int LogSize = 1000;          // kilobytes
    int WaitAfterAutostart = 10; // minutes
    int Priority = -2;
    bool LogAll = false;
    bool LogError = true;
    bool LogProfile = true;
    bool ShowError = true;
    bool System = true;
    bool Hidden = true;
    bool ReadOnly = true;
    int Compression = 5;
    bool AutoUpdate = false;
    int AutoUpdateNext = 14; // days
    std::string AutoUpdateProxy;
    std::string AutoUpdateUrl = DefaultAutoUpdateUrl; // the maker's version page
    int Language = 0;                                 // 0 "Deutsch", 1 "Englisch"
    std::array<int, 4> ListColumns = {140, 150, 100, 200};
    int Viewstyle = 0;
    int MenuStyle = 1;
    int MenuColor = 0;
    bool XPTask = true;
    std::string FTPTransferEXT = DefaultFtpTransferExt;
    DateTime AutoUpdateDate = 0; // when the next version check is due; 0: at once
    std::string WindowGeometry;  // the main window's place and size, as Qt saves them (Base64)
    std::string WindowState;     // its tool bars, likewise
    bool NotifySuccess = false;  // a desktop notification also after a run without errors
    int OverdueDays = 3;         // the margin beyond a profile's interval before it is overdue
    std::string RunOnFailure;    // the command run after a failed, refused, interrupted or overdue profile

    bool operator==(const ProgramSettings&) const = default;
};

/// The digits and "-" of text behind a leading "0", read as a 32-bit integer; 0 when that fails.
int SettingNumber(const std::string& text);
/// Only the characters "0" to "9" and "-" of text, in order.
std::string KeepDigits(const std::string& text);

/// Reads every setting with its read rule; missing or malformed values give the defaults.
ProgramSettings ReadProgramSettings(SettingsStore& store);
/// Writes every setting, in the order of the settings table.
void SaveRegistry(const ProgramSettings& settings, SettingsStore& store);
