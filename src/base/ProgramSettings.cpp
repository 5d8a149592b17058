#include "base/ProgramSettings.h"

#include "base/SettingsStore.h"
#include "base/Text.h"

#include <climits>

namespace {

const ProgramSettings Defaults;

using Reader = void (*)(ProgramSettings&, const std::string&);
using Writer = std::string (*)(const ProgramSettings&);

struct SettingRule
{
    const char* name;
    Reader read;
    Writer write;
};

std::string flag(bool on)
{
    return on ? "1" : "0";
}

bool onlyOne(const std::string& v)
{
    return v == "1";
}

bool unlessZero(const std::string& v)
{
    return v != "0";
}

// A number from 1 to most; 0 (also a missing value) and anything out of range give the default.
int numberOr(const std::string& v, int most, int fallback)
{
    const int n = SettingNumber(v);
    return n >= 1 && n <= most ? n : fallback;
}

// Index settings store index + 1, so that a missing value (0) can mean the default; an index
// beyond the last choice gives it too.
int indexOr(const std::string& v, int choices, int fallback)
{
    const int n = SettingNumber(v);
    return n >= 1 && n <= choices ? n - 1 : fallback;
}

// Stored as the index itself: 0 large icons … 3 details.
int viewStyleOf(const std::string& v)
{
    const int n = SettingNumber(v);
    return n <= 3 ? n : Defaults.Viewstyle;
}

int readPriority(const std::string& v)
{
    const std::string digits = KeepDigits(v);
    long long n = 0;
    if (digits.empty() || !ParseInteger(digits, -2, 2, n))
        return Defaults.Priority;
    return static_cast<int>(n);
}

// A level outside the range the ZIP engine knows would reach it unchecked; the default is safer.
int readCompression(const std::string& v)
{
    const int n = SettingNumber(v);
    return n >= 2 && n <= 9 ? n : Defaults.Compression;
}

int readAutoUpdateNext(const std::string& v)
{
    long long n = 0;
    return ParseInteger(Trim(v), 0, MaxAutoUpdateDays, n) ? static_cast<int>(n) : Defaults.AutoUpdateNext;
}

std::string readTransferExt(const std::string& v)
{
    const std::string t = Trim(v);
    return t.empty() || t == "\"\"" ? DefaultFtpTransferExt : t;
}

// The settings table: every value the program keeps, in the order SaveRegistry writes them.
const SettingRule Rules[] = {
    {"Suspend", [](ProgramSettings& s, const std::string& v) { s.Suspend = onlyOne(v); },
     [](const ProgramSettings& s) { return flag(s.Suspend); }},
    {"LogSize",
     [](ProgramSettings& s, const std::string& v) { s.LogSize = numberOr(v, MaxLogSizeKb, Defaults.LogSize); },
     [](const ProgramSettings& s) { return std::to_string(s.LogSize); }},
    {"WaitAfterAutostart",
     [](ProgramSettings& s, const std::string& v) {
         s.WaitAfterAutostart = numberOr(v, MaxWaitAfterAutostartMinutes, Defaults.WaitAfterAutostart);
     },
     [](const ProgramSettings& s) { return std::to_string(s.WaitAfterAutostart); }},
    {"Priority", [](ProgramSettings& s, const std::string& v) { s.Priority = readPriority(v); },
     [](const ProgramSettings& s) { return std::to_string(s.Priority); }},
    {"LogAll", [](ProgramSettings& s, const std::string& v) { s.LogAll = onlyOne(v); },
     [](const ProgramSettings& s) { return flag(s.LogAll); }},
    {"LogError", [](ProgramSettings& s, const std::string& v) { s.LogError = unlessZero(v); },
     [](const ProgramSettings& s) { return flag(s.LogError); }},
    {"LogProfile", [](ProgramSettings& s, const std::string& v) { s.LogProfile = unlessZero(v); },
     [](const ProgramSettings& s) { return flag(s.LogProfile); }},
    {"ShowError", [](ProgramSettings& s, const std::string& v) { s.ShowError = unlessZero(v); },
     [](const ProgramSettings& s) { return flag(s.ShowError); }},
    {"System", [](ProgramSettings& s, const std::string& v) { s.System = unlessZero(v); },
     [](const ProgramSettings& s) { return flag(s.System); }},
    {"Hidden", [](ProgramSettings& s, const std::string& v) { s.Hidden = unlessZero(v); },
     [](const ProgramSettings& s) { return flag(s.Hidden); }},
    {"ReadOnly", [](ProgramSettings& s, const std::string& v) { s.ReadOnly = unlessZero(v); },
     [](const ProgramSettings& s) { return flag(s.ReadOnly); }},
    {"Compression", [](ProgramSettings& s, const std::string& v) { s.Compression = readCompression(v); },
     [](const ProgramSettings& s) { return std::to_string(s.Compression); }},
    {"AutoUpdate", [](ProgramSettings& s, const std::string& v) { s.AutoUpdate = onlyOne(v); },
     [](const ProgramSettings& s) { return flag(s.AutoUpdate); }},
    {"AutoUpdateNext", [](ProgramSettings& s, const std::string& v) { s.AutoUpdateNext = readAutoUpdateNext(v); },
     [](const ProgramSettings& s) { return std::to_string(s.AutoUpdateNext); }},
    {"AutoUpdateProxy",
     [](ProgramSettings& s, const std::string& v) { s.AutoUpdateProxy = v == "-" ? std::string() : v; },
     [](const ProgramSettings& s) { return s.AutoUpdateProxy.empty() ? std::string("-") : s.AutoUpdateProxy; }},
    {"AutoUpdateUrl",
     [](ProgramSettings& s, const std::string& v) {
         s.AutoUpdateUrl = Trim(v).empty() ? DefaultAutoUpdateUrl : Trim(v);
     },
     [](const ProgramSettings& s) { return s.AutoUpdateUrl; }},
    {"Language", [](ProgramSettings& s, const std::string& v) { s.Language = indexOr(v, 2, Defaults.Language); },
     [](const ProgramSettings& s) { return std::to_string(s.Language + 1); }},
    {"ListColumns0",
     [](ProgramSettings& s, const std::string& v) {
         s.ListColumns[0] = numberOr(v, MaxColumnWidth, Defaults.ListColumns[0]);
     },
     [](const ProgramSettings& s) { return std::to_string(s.ListColumns[0]); }},
    {"ListColumns1",
     [](ProgramSettings& s, const std::string& v) {
         s.ListColumns[1] = numberOr(v, MaxColumnWidth, Defaults.ListColumns[1]);
     },
     [](const ProgramSettings& s) { return std::to_string(s.ListColumns[1]); }},
    {"ListColumns2",
     [](ProgramSettings& s, const std::string& v) {
         s.ListColumns[2] = numberOr(v, MaxColumnWidth, Defaults.ListColumns[2]);
     },
     [](const ProgramSettings& s) { return std::to_string(s.ListColumns[2]); }},
    {"ListColumns3",
     [](ProgramSettings& s, const std::string& v) {
         s.ListColumns[3] = numberOr(v, MaxColumnWidth, Defaults.ListColumns[3]);
     },
     [](const ProgramSettings& s) { return std::to_string(s.ListColumns[3]); }},
    {"Viewstyle", [](ProgramSettings& s, const std::string& v) { s.Viewstyle = viewStyleOf(v); },
     [](const ProgramSettings& s) { return std::to_string(s.Viewstyle); }},
    {"MenuStyle", [](ProgramSettings& s, const std::string& v) { s.MenuStyle = indexOr(v, 3, Defaults.MenuStyle); },
     [](const ProgramSettings& s) { return std::to_string(s.MenuStyle + 1); }},
    {"MenuColor", [](ProgramSettings& s, const std::string& v) { s.MenuColor = indexOr(v, 2, Defaults.MenuColor); },
     [](const ProgramSettings& s) { return std::to_string(s.MenuColor + 1); }},
    {"XPTask", [](ProgramSettings& s, const std::string& v) { s.XPTask = unlessZero(v); },
     [](const ProgramSettings& s) { return flag(s.XPTask); }},
    {"FTPTransferEXT", [](ProgramSettings& s, const std::string& v) { s.FTPTransferEXT = readTransferExt(v); },
     [](const ProgramSettings& s) { return s.FTPTransferEXT; }},
    {"AutoUpdateDate", [](ProgramSettings& s, const std::string& v) { s.AutoUpdateDate = ReadStampedDateTime(v); },
     [](const ProgramSettings& s) {
         return s.AutoUpdateDate == 0 ? std::string() : FormatStampedDateTime(s.AutoUpdateDate);
     }},
    {"WindowGeometry", [](ProgramSettings& s, const std::string& v) { s.WindowGeometry = v; },
     [](const ProgramSettings& s) { return s.WindowGeometry; }},
    {"WindowState", [](ProgramSettings& s, const std::string& v) { s.WindowState = v; },
     [](const ProgramSettings& s) { return s.WindowState; }},
    {"NotifySuccess", [](ProgramSettings& s, const std::string& v) { s.NotifySuccess = onlyOne(v); },
     [](const ProgramSettings& s) { return flag(s.NotifySuccess); }},
    {"OverdueDays",
     [](ProgramSettings& s, const std::string& v) {
         s.OverdueDays = numberOr(v, MaxOverdueDays, Defaults.OverdueDays);
     },
     [](const ProgramSettings& s) { return std::to_string(s.OverdueDays); }},
    {"RunOnFailure", [](ProgramSettings& s, const std::string& v) { s.RunOnFailure = Trim(v); },
     [](const ProgramSettings& s) { return s.RunOnFailure; }},
};

} // namespace

int SettingNumber(const std::string& text)
{
    long long n = 0;
    return ParseInteger("0" + KeepDigits(text), INT_MIN, INT_MAX, n) ? static_cast<int>(n) : 0;
}

std::string KeepDigits(const std::string& text)
{
    std::string out;
    for (const char c : text)
        if ((c >= '0' && c <= '9') || c == '-')
            out += c;
    return out;
}

ProgramSettings ReadProgramSettings(SettingsStore& store)
{
    ProgramSettings settings;
    for (const SettingRule& rule : Rules)
        rule.read(settings, store.ReadSetting(rule.name));
    return settings;
}

void SaveRegistry(const ProgramSettings& settings, SettingsStore& store)
{
    for (const SettingRule& rule : Rules)
        store.WriteSetting(rule.name, rule.write(settings));
}
