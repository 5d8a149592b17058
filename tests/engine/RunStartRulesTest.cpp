#include "engine/RunStartRules.h"

#include <gtest/gtest.h>

namespace {

DateTime at(int h, int n, int s, int ms = 0)
{
    return 37626.0 + *TryEncodeTime(h, n, s, ms); // 05.01.2003
}

// A profile whose last run without errors started at lastGoodRun; its last run was later and failed.
TProfile named(const char* name, std::uint8_t type, DateTime lastGoodRun)
{
    TProfile p;
    p.Name = name;
    p.Backuptype = type;
    p.LastGoodRun = lastGoodRun;
    p.LastRun = lastGoodRun + 0.5;
    return p;
}

TEST(RunStartRulesTest, ReferenceTime)
{
    ProfileList list;
    list.AddToProfile(named("Voll", BackupFull, at(20, 0, 0)));
    list.AddToProfile(named("Voll", BackupDifferential, at(23, 0, 0))); // not a full backup
    list.AddToProfile(named("voll", BackupFull, at(22, 0, 0)));         // the name differs in case

    // A run that failed never moves the reference: only clean runs count.
    TProfile incremental = named("Inkr", BackupIncremental, at(18, 0, 0));
    incremental.Archive = false;
    incremental.IncrFull = "Voll";
    EXPECT_EQ(ReferenceTimeOf(incremental, list), at(20, 0, 0));
    incremental.LastGoodRun = at(21, 0, 0);
    EXPECT_EQ(ReferenceTimeOf(incremental, list), at(21, 0, 0)); // its own run is later
    incremental.IncrFull = "Gibt es nicht";
    EXPECT_EQ(ReferenceTimeOf(incremental, list), at(21, 0, 0));
    incremental.IncrFull = "Voll";
    incremental.Archive = true; // by archive bit the reference does not matter
    EXPECT_EQ(ReferenceTimeOf(incremental, list), at(21, 0, 0));
    EXPECT_EQ(ReferenceTimeOf(named("Nie", BackupFull, NoRun), list), NoRun);
    EXPECT_EQ(ReferenceTimeOf(named("Alt", BackupIncremental, 0.0), list), NoRun); // a file of an older version

    // A differential run builds on its full backup, never on its own previous run.
    TProfile differential = named("Diff", BackupDifferential, at(23, 30, 0));
    differential.IncrFull = "Voll";
    EXPECT_EQ(ReferenceTimeOf(differential, list), at(20, 0, 0));
    differential.IncrFull.clear(); // no full backup to build on: its own first run took every file
    EXPECT_EQ(ReferenceTimeOf(differential, list), at(23, 30, 0));
}

TEST(RunStartRulesTest, NextReference)
{
    struct Case
    {
        std::uint8_t type;
        DateTime reference;   // what the run compared with
        DateTime lastGoodRun; // before the run
        DateTime expected;
    };
    const DateTime start = at(12, 0, 0);
    const Case cases[] = {
        {BackupIncremental, at(8, 0, 0), at(8, 0, 0), start},
        {BackupFull, NoRun, NoRun, start},
        {BackupDifferential, NoRun, NoRun, start},                   // it took every file: the base
        {BackupDifferential, at(8, 0, 0), at(8, 0, 0), at(8, 0, 0)}, // the base stays
        {BackupDifferential, at(9, 0, 0), NoRun, NoRun},             // built on a full backup profile
    };
    for (const Case& c : cases) {
        TProfile p;
        p.Backuptype = c.type;
        p.LastRun = start;
        p.LastGoodRun = c.lastGoodRun;
        EXPECT_EQ(NextReferenceOf(p, c.reference), c.expected) << int(c.type) << " " << c.reference;
    }
}

TEST(RunStartRulesTest, SharesMarksAndFolders)
{
    EXPECT_EQ(ShareRoot("\\\\srv\\data\\backup\\$date"), "\\\\srv\\data");
    EXPECT_EQ(ShareRoot("\\\\srv\\data"), "\\\\srv\\");
    EXPECT_EQ(FormatStampedDateTime(NextTenMinuteMark(at(10, 23, 30))), "05.01.2003 10:30:00");
    EXPECT_EQ(FormatStampedDateTime(NextTenMinuteMark(at(10, 20, 0))), "05.01.2003 10:30:00");
    EXPECT_EQ(FormatStampedDateTime(NextTenMinuteMark(at(23, 55, 0))), "06.01.2003 00:00:00");
    EXPECT_EQ(RunProgramFolder("/opt/tools/prep.sh --fast", "/home/anna"), "/opt/tools/");
    EXPECT_EQ(RunProgramFolder("prep.sh", "/home/anna"), "/home/anna");
    EXPECT_EQ(RunProgramFolder("rsync -a a/b c", "/home/anna"), "rsync -a a/"); // the whole text, arguments too
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
