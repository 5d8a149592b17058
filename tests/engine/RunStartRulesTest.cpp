#include "engine/RunStartRules.h"

#include <gtest/gtest.h>

namespace {

DateTime at(int h, int n, int s, int ms = 0)
{
    return 37626.0 + *TryEncodeTime(h, n, s, ms); // 05.01.2003
}

// Seconds since 1970 of h:n on 05.01.2003 (UTC).
std::int64_t unixAt(int h, int n)
{
    return 1'041'724'800 + h * 3600 + n * 60;
}

// A profile whose last run without errors started at lastGoodRun; its last run was later and failed.
TProfile named(const char* name, std::uint8_t type, std::int64_t lastGoodRun)
{
    TProfile p;
    p.Name = name;
    p.Backuptype = type;
    p.LastGoodRun = lastGoodRun;
    p.LastRun = 37626.9;
    return p;
}

TEST(RunStartRulesTest, ReferenceTime)
{
    ProfileList list;
    list.AddToProfile(named("Voll", BackupFull, unixAt(20, 0)));
    list.AddToProfile(named("Voll", BackupDifferential, unixAt(23, 0))); // not a full backup
    list.AddToProfile(named("voll", BackupFull, unixAt(22, 0)));         // the name differs in case

    // A run that failed never moves the reference: only clean runs count.
    TProfile incremental = named("Inkr", BackupIncremental, unixAt(18, 0));
    incremental.Archive = false;
    incremental.IncrFull = "Voll";
    EXPECT_EQ(ReferenceTimeOf(incremental, list), unixAt(20, 0));
    incremental.LastGoodRun = unixAt(21, 0);
    EXPECT_EQ(ReferenceTimeOf(incremental, list), unixAt(21, 0)); // its own run is later
    incremental.IncrFull = "Gibt es nicht";
    EXPECT_EQ(ReferenceTimeOf(incremental, list), unixAt(21, 0));
    incremental.IncrFull = "Voll";
    incremental.Archive = true; // by archive bit the reference does not matter
    EXPECT_EQ(ReferenceTimeOf(incremental, list), unixAt(21, 0));
    EXPECT_EQ(ReferenceTimeOf(named("Nie", BackupFull, 0), list), NeverRan);

    // A differential run builds on its full backup, never on its own previous run.
    TProfile differential = named("Diff", BackupDifferential, unixAt(23, 30));
    differential.IncrFull = "Voll";
    EXPECT_EQ(ReferenceTimeOf(differential, list), unixAt(20, 0));
    differential.IncrFull.clear(); // no full backup to build on: its own first run took every file
    EXPECT_EQ(ReferenceTimeOf(differential, list), unixAt(23, 30));
}

TEST(RunStartRulesTest, NextReference)
{
    struct Case
    {
        std::uint8_t type;
        std::int64_t reference;   // what the run compared with
        std::int64_t lastGoodRun; // before the run
        std::int64_t expected;
    };
    const std::int64_t start = unixAt(12, 0);
    const Case cases[] = {
        {BackupIncremental, unixAt(8, 0), unixAt(8, 0), start},
        {BackupFull, NeverRan, 0, start},
        {BackupDifferential, NeverRan, 0, start},                       // it took every file: the base
        {BackupDifferential, unixAt(8, 0), unixAt(8, 0), unixAt(8, 0)}, // the base stays
        {BackupDifferential, unixAt(9, 0), 0, 0},                       // built on a full backup profile
    };
    for (const Case& c : cases) {
        TProfile p;
        p.Backuptype = c.type;
        p.LastGoodRun = c.lastGoodRun;
        EXPECT_EQ(NextReferenceOf(p, c.reference, start), c.expected) << int(c.type) << " " << c.reference;
    }
}

TEST(RunStartRulesTest, SharesMarksAndFolders)
{
    EXPECT_EQ(ShareRoot("\\\\srv\\data\\backup\\$date"), "\\\\srv\\data");
    EXPECT_EQ(ShareRoot("\\\\srv\\data"), "\\\\srv\\");
    EXPECT_EQ(FormatStampedDateTime(NextTenMinuteMark(at(10, 23, 30))), "05.01.2003 10:30:00");
    EXPECT_EQ(FormatStampedDateTime(NextTenMinuteMark(at(10, 20, 0))), "05.01.2003 10:30:00");
    EXPECT_EQ(FormatStampedDateTime(NextTenMinuteMark(at(23, 55, 0))), "06.01.2003 00:00:00");
    auto folders = [](const std::string& path) { return path == "/opt/tools/" || path == "/backup/"; };
    EXPECT_EQ(RunProgramFolder("/opt/tools/prep.sh --fast", "/home/anna", folders), "/opt/tools/");
    EXPECT_EQ(RunProgramFolder("prep.sh", "/home/anna", folders), "/home/anna");
    // A path among the arguments: the folder part of the whole line is no folder, home is.
    EXPECT_EQ(RunProgramFolder("rsync -a a/b c", "/home/anna", folders), "/home/anna");
    EXPECT_EQ(RunProgramFolder("pg_dump -f /backup/db.sql db", "/home/anna", folders), "/home/anna");
    EXPECT_EQ(ProgramNote("x", {true, 0}, true), std::nullopt);
    EXPECT_EQ(ProgramNote("x", {true, 3}, false), std::nullopt); // not waited for: its status is unknown
    EXPECT_EQ(ProgramNote("pg_dump", {true, 3}, true),
              "Hinweis: Programm vor der Sicherung \"pg_dump\" endete mit Status 3");
    EXPECT_EQ(ProgramNote("fehlt", {false, 0}, false),
              "Hinweis: Programm vor der Sicherung \"fehlt\" konnte nicht gestartet werden");
}

TEST(RunStartRulesTest, UnavailableDestinationBlock)
{
    const auto lines = UnavailableDestinationReport("Netz", "/mnt/nas/", Status{1200, "Logon failed"},
                                                    Status{3, "No such file or directory"}, true, at(14, 7, 33));
    const std::vector<std::string> expected = {
        "============================================================",
        "Profil                : Netz",
        "!!! Fehler    : Ziel /mnt/nas/ derzeit nicht verfügbar",
        "!!! Fehler    : (1200 - Logon failed)",
        "!!! Fehler    : (3 - No such file or directory)",
        "                Neuerlicher Start um 10 Minuten verschoben",
        "============================================================",
        "Datum                 : 05.01.2003",
        "Uhrzeit               : 14:07:33",
        "============================================================",
        "",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(UnavailableDestinationReport("X", "/d/", std::nullopt, std::nullopt, false, 0.0).size(), 8u);
    EXPECT_EQ(ErrorCountMessage(3), "Tresorio 2002\nBeim Sichern ist/sind 3 Fehler aufgetreten. Fehlerbeschreibung "
                                    "finden Sie im Sicherungsprotokoll.");
}

} // namespace
