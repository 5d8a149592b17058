#include "profiles/ProfileText.h"

#include "base/ProgramSettings.h"
#include "base/Text.h"
#include "profiles/Scramble.h"

#include <limits>
#include <unordered_map>

namespace {

using Values = std::vector<std::string>;

// One key of a profile section: how its field is written and how a value is read into it.
struct KeyRule
{
    const char* key;
    std::function<Values(const TProfile&, std::mt19937&)> write;
    std::function<void(TProfile&, const std::string&)> read;
};

template <typename T> using Member = T TProfile::*;

KeyRule flagKey(const char* key, Member<bool> field)
{
    return {key, [field](const TProfile& p, std::mt19937&) { return Values{p.*field ? "1" : "0"}; },
            [field](TProfile& p, const std::string& v) { p.*field = v == "1"; }};
}

KeyRule textKey(const char* key, Member<std::string> field)
{
    return {key, [field](const TProfile& p, std::mt19937&) { return Values{p.*field}; },
            [field](TProfile& p, const std::string& v) { p.*field = v; }};
}

// A value that is not a decimal integer of the field's width leaves the field as it was.
template <typename T> KeyRule numberKey(const char* key, Member<T> field)
{
    return {key, [field](const TProfile& p, std::mt19937&) { return Values{std::to_string(+(p.*field))}; },
            [field](TProfile& p, const std::string& v) {
                long long n = 0;
                if (ParseInteger(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), n))
                    p.*field = static_cast<T>(n);
            }};
}

KeyRule dateKey(const char* key, Member<DateTime> field)
{
    return {key, [field](const TProfile& p, std::mt19937&) { return Values{FormatStampedDateTime(p.*field)}; },
            [field](TProfile& p, const std::string& v) { p.*field = ReadStampedDateTime(v); }};
}

// The logon serves a network share (NetLogon) and the FTP server alike: an FTP profile keeps
// it whether or not the share logon is on.
bool logonStored(const TProfile& p)
{
    return (p.NetLogon || p.FTP) && !p.NetUser.empty();
}

KeyRule logonKey(const char* key, Member<std::string> field, LogonKind kind)
{
    return {key,
            [field, kind](const TProfile& p, std::mt19937& random) {
                return Values{logonStored(p) ? EncodeLogonField(p.*field, kind, random) : std::string()};
            },
            [field, kind](TProfile& p, const std::string& v) { p.*field = DecodeLogonField(v, kind); }};
}

// FilesCompressed is read leniently: the number its valid beginning forms.
void readLeadingNumber(TProfile& p, const std::string& v)
{
    std::size_t end = (!v.empty() && (v[0] == '-' || v[0] == '+')) ? 1 : 0;
    while (end < v.size() && v[end] >= '0' && v[end] <= '9')
        ++end;
    long long n = 0;
    p.FilesCompressed = ParseInteger(std::string_view(v).substr(0, end), std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max(), n)
                            ? static_cast<std::int32_t>(n)
                            : 0;
}

static_assert(2 * MaxZipPasswordBytes <= MaxValueChars, "a ZIP password's stored form fits in one value");

// The keys in the order the writer writes them.
const std::vector<KeyRule>& keyRules()
{
    static const std::vector<KeyRule> rules = {
        flagKey("Advanced", &TProfile::Advanced),
        flagKey("SourceListTree", &TProfile::SourceListTree),
        {"Source", [](const TProfile& p, std::mt19937&) { return p.Source; },
         [](TProfile& p, const std::string& v) { p.Source.push_back(v); }},
        flagKey("Withsub", &TProfile::Withsub),
        flagKey("Withempty", &TProfile::Withempty),
        textKey("Destination", &TProfile::Destination),
        flagKey("NetLogon", &TProfile::NetLogon),
        logonKey("NetUser", &TProfile::NetUser, LogonKind::User),
        logonKey("NetPasswd", &TProfile::NetPasswd, LogonKind::Password),
        textKey("DestName", &TProfile::DestName),
        flagKey("CheckDestname", &TProfile::CheckDestname),
        flagKey("DestErase", &TProfile::DestErase),
        flagKey("DiskSpan", &TProfile::DiskSpan),
        numberKey("MaxVolumeSize", &TProfile::MaxVolumeSize),
        flagKey("DiskSpanFormat", &TProfile::DiskSpanFormat),
        textKey("Zipfile", &TProfile::Zipfile),
        textKey("Addfiles", &TProfile::Addfiles),
        textKey("Exclfiles", &TProfile::Exclfiles),
        numberKey("Period", &TProfile::Period),
        numberKey("Hours", &TProfile::Hours),
        numberKey("Minutes", &TProfile::Minutes),
        textKey("RunTime", &TProfile::RunTime),
        {"DayOfWeek",
         [](const TProfile& p, std::mt19937&) {
             std::string days;
             for (const bool on : p.DayOfWeek)
                 days += on ? '1' : '0';
             return Values{days};
         },
         [](TProfile& p, const std::string& v) {
             for (std::size_t i = 0; i < p.DayOfWeek.size(); ++i)
                 p.DayOfWeek[i] = i < v.size() && v[i] == '1';
         }},
        numberKey("Weeks", &TProfile::Weeks),
        numberKey("Day", &TProfile::Day),
        textKey("Weektime", &TProfile::Weektime),
        numberKey("MonthDay", &TProfile::MonthDay),
        dateKey("DateTimeFrom", &TProfile::DateTimeFrom),
        dateKey("DateTimeTo", &TProfile::DateTimeTo),
        textKey("Monthtime", &TProfile::Monthtime),
        textKey("FreeTime", &TProfile::FreeTime),
        flagKey("MissedBackup", &TProfile::MissedBackup),
        flagKey("ShutDown", &TProfile::ShutDown),
        flagKey("ShutDownForce", &TProfile::ShutDownForce),
        flagKey("OnStartup", &TProfile::OnStartup),
        flagKey("OnShutDown", &TProfile::OnShutDown),
        numberKey("Backuptype", &TProfile::Backuptype),
        flagKey("RecycleBin", &TProfile::RecycleBin),
        flagKey("Archive", &TProfile::Archive),
        flagKey("Verify", &TProfile::Verify),
        flagKey("VerifyBit", &TProfile::VerifyBit),
        textKey("IncrFull", &TProfile::IncrFull),
        flagKey("FTP", &TProfile::FTP),
        textKey("FTPServer", &TProfile::FTPServer),
        numberKey("FTPMode", &TProfile::FTPMode),
        flagKey("FTPPassive", &TProfile::FTPPassive),
        flagKey("Compress", &TProfile::Compress),
        flagKey("Encrypt", &TProfile::Encrypt),
        {"Password", [](const TProfile& p, std::mt19937&) { return Values{EncodeZipPassword(p.Password)}; },
         [](TProfile& p, const std::string& v) { p.Password = DecodeZipPassword(v); }},
        textKey("RunBefore", &TProfile::RunBefore),
        flagKey("RunBeforeWait", &TProfile::RunBeforeWait),
        textKey("RunAfter", &TProfile::RunAfter),
        flagKey("RunAfterWait", &TProfile::RunAfterWait),
        flagKey("TempDir", &TProfile::TempDir),
        textKey("TempDirName", &TProfile::TempDirName),
        flagKey("CompLev", &TProfile::CompLev),
        numberKey("CompLevel", &TProfile::CompLevel),
        flagKey("CompDel", &TProfile::CompDel),
        numberKey("Generations", &TProfile::Generations),
        flagKey("Prior", &TProfile::Prior),
        numberKey("Priority", &TProfile::Priority),
        flagKey("XFileAtt", &TProfile::XFileAtt),
        flagKey("SFileAtt", &TProfile::SFileAtt),
        flagKey("HFileAtt", &TProfile::HFileAtt),
        flagKey("RFileAtt", &TProfile::RFileAtt),
        dateKey("LastRun", &TProfile::LastRun),
        dateKey("NextRun", &TProfile::NextRun),
        numberKey("Errors", &TProfile::Errors),
        numberKey("FilesCount", &TProfile::FilesCount),
        numberKey("FilesSize", &TProfile::FilesSize),
        {"FilesCompressed", [](const TProfile& p, std::mt19937&) { return Values{std::to_string(p.FilesCompressed)}; },
         readLeadingNumber},
        // Ours, after the keys older installations know.
        numberKey("LastGoodRun", &TProfile::LastGoodRun),
        flagKey("FollowLinks", &TProfile::FollowLinks),
        textKey("DestFileSystem", &TProfile::DestFileSystem),
        textKey("DestMountPoint", &TProfile::DestMountPoint),
        dateKey("LastSuccess", &TProfile::LastSuccess),
        // Written only while a run is under way.
        {"RunUnfinished", [](const TProfile& p, std::mt19937&) { return p.RunUnfinished ? Values{"1"} : Values{}; },
         [](TProfile& p, const std::string& v) { p.RunUnfinished = v == "1"; }},
    };
    return rules;
}

// Keys are compared without regard to case.
const KeyRule* ruleFor(const std::string& key)
{
    static const std::unordered_map<std::string, const KeyRule*> byKey = [] {
        std::unordered_map<std::string, const KeyRule*> map;
        for (const KeyRule& rule : keyRules())
            map.emplace(UpperCase(rule.key), &rule);
        return map;
    }();
    const auto it = byKey.find(UpperCase(key));
    return it == byKey.end() ? nullptr : it->second;
}

// A value cut where the reader would cut or split it: at its first line break, and to the
// characters a value may have.
std::string storableValue(const std::string& value)
{
    std::string cut = value.substr(0, value.find_first_of("\r\n"));
    if (CharCount(cut) > MaxValueChars)
        cut = CutToChars(cut, MaxValueChars);
    return cut;
}

} // namespace

ProfileDefaults ProfileDefaultsFrom(const ProgramSettings& settings)
{
    return {static_cast<std::uint8_t>(settings.Compression), settings.Priority, settings.System, settings.Hidden,
            settings.ReadOnly};
}

void ChangeDestination(TProfile& profile, const std::string& destination)
{
    if (profile.Destination == destination)
        return;
    profile.Destination = destination;
    profile.DestFileSystem.clear();
    profile.DestMountPoint.clear();
}

TProfile DefaultProfile(const ProfileDefaults& defaults)
{
    TProfile p;
    p.Advanced = true;
    p.Archive = true;
    p.MissedBackup = true;
    p.CompLevel = defaults.CompLevel;
    p.Priority = defaults.Priority;
    p.SFileAtt = defaults.SFileAtt;
    p.HFileAtt = defaults.HFileAtt;
    p.RFileAtt = defaults.RFileAtt;
    p.DateTimeFrom = OpenFrom;
    p.DateTimeTo = OpenTo;
    return p;
}

std::vector<TProfile> ParseProfileText(std::string_view content, const ProfileDefaults& defaults,
                                       const NextRunRecalculation& recalculate)
{
    return ParseProfileLines(DecodeStoredLines(content), defaults, recalculate);
}

std::vector<TProfile> ParseProfileLines(const std::vector<std::string>& lines, const ProfileDefaults& defaults,
                                        const NextRunRecalculation& recalculate)
{
    std::vector<TProfile> profiles;
    if (lines.size() < 3 || lines[0] != ProfileSignature)
        return profiles;

    auto finish = [&](TProfile& p) {
        // Without catch-up a moment missed while the program was not running is skipped. A
        // schedule without a moment that can be read (a section written by hand, a damaged
        // value) gets its next one from the schedule; without a schedule it has none.
        const bool scheduled = p.Period >= PeriodInterval && p.Period <= PeriodFree;
        const bool unreadable = p.NextRun < NoRun;
        if (recalculate && (!p.MissedBackup || (unreadable && scheduled)))
            recalculate(p);
        else if (unreadable)
            p.NextRun = NoRun;
        profiles.push_back(std::move(p));
    };

    TProfile current = DefaultProfile(defaults);
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const std::string line = Trim(lines[i]);
        if (!line.empty() && line.front() == '[') {
            if (!current.Name.empty()) {
                finish(current);
                current = DefaultProfile(defaults);
            }
            // The last character is dropped whatever it is (a whole character, not a byte of it).
            const std::string_view inner = std::string_view(line).substr(1);
            current.Name = Trim(CutToChars(inner, CharCount(inner) == 0 ? 0 : CharCount(inner) - 1));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        if (const KeyRule* rule = ruleFor(line.substr(0, equals)))
            rule->read(current, CutToChars(std::string_view(line).substr(equals + 1), MaxValueChars));
    }
    if (!current.Name.empty())
        finish(current);
    return profiles;
}

TProfile StorableProfile(const TProfile& profile, std::vector<std::string>& warnings)
{
    TProfile p = profile;
    const std::string quoted = "Profil \"" + profile.Name + "\": ";
    auto warn = [&](const std::string& field, const std::string& what) {
        warnings.push_back(quoted + "\"" + field + "\" " + what);
    };
    // A line break in the name would end the section header and start another line.
    if (p.Name.find_first_of("\r\n") != std::string::npos) {
        for (char& c : p.Name)
            if (c == '\r' || c == '\n')
                c = ' ';
        warn("Name", "enthält einen Zeilenumbruch; gespeichert mit Leerzeichen.");
    }
    // A secret is kept exactly as the reader gives it back, or not at all: a password cut or
    // changed would fail every later run without a word. Only what cannot come back is dropped.
    std::mt19937 filler(0);
    const auto unstorable = [](const std::string& text, std::size_t most,
                               const std::string& readBack) -> std::optional<std::string> {
        if (text.size() > most)
            return "ist länger als " + std::to_string(most) + " Byte und wird nicht gespeichert.";
        if (readBack != text)
            return "ist kein gültiger UTF-8-Text und wird nicht gespeichert.";
        return std::nullopt;
    };
    if (logonStored(p)) {
        if (const auto why =
                unstorable(p.NetUser, MaxNetUserBytes,
                           DecodeLogonField(EncodeLogonField(p.NetUser, LogonKind::User, filler), LogonKind::User))) {
            p.NetUser.clear();
            p.NetPasswd.clear();
            warn("NetUser", *why);
        }
        if (const auto why = unstorable(
                p.NetPasswd, MaxNetPasswdBytes,
                DecodeLogonField(EncodeLogonField(p.NetPasswd, LogonKind::Password, filler), LogonKind::Password))) {
            p.NetPasswd.clear();
            warn("NetPasswd", *why);
        }
    }
    if (const auto why =
            unstorable(p.Password, MaxZipPasswordBytes, DecodeZipPassword(EncodeZipPassword(p.Password)))) {
        p.Password.clear();
        warn("Password", *why);
    }
    // Every other value as the reader would read it back: cut at a line break and to its length.
    std::mt19937 unused(0);
    for (const KeyRule& rule : keyRules()) {
        const Values values = rule.write(p, unused);
        Values cut;
        for (const std::string& value : values)
            cut.push_back(storableValue(value));
        if (cut == values)
            continue;
        warn(rule.key, "enthält einen Zeilenumbruch oder ist länger als " + std::to_string(MaxValueChars) +
                           " Zeichen; gespeichert wird der Anfang.");
        if (std::string_view(rule.key) == "Source")
            p.Source.clear();
        for (const std::string& value : cut)
            rule.read(p, value);
    }
    return p;
}

ProfileSection FormatProfileSection(const TProfile& profile, std::mt19937& random)
{
    ProfileSection section;
    // A section without a name is never read back: the profile cannot be kept.
    if (Trim(profile.Name).empty()) {
        section.warnings.push_back("Ein Profil ohne Namen wird nicht gespeichert.");
        return section;
    }
    const TProfile storable = StorableProfile(profile, section.warnings);
    section.lines.push_back("[" + storable.Name + "]");
    for (const KeyRule& rule : keyRules())
        for (const std::string& value : rule.write(storable, random))
            section.lines.push_back(std::string(rule.key) + "=" + value);
    return section;
}
