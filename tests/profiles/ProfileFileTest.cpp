#include "profiles/ProfileFile.h"

#include "base/Text.h"
#include "profiles/Scramble.h"
#include "scheduler/NextRun.h"
#include "support/TempDir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const DateTime Now = 37626.5; // Sunday 05.01.2003 12:00

TProfile everyFieldSet()
{
    TProfile p;
    p.Name = "Tägliche Sicherung";
    p.Advanced = true;
    p.SourceListTree = true;
    p.Source = {"/home/anna/Dokumente/", "/home/anna/Bilder/Größe/", ""};
    p.Withsub = true;
    p.Withempty = true;
    p.Destination = "/media/backup/$date/";
    p.NetLogon = true;
    p.NetUser = "anna";
    p.NetPasswd = "Passwört";
    p.CheckDestname = true;
    p.DestName = "BACKUP";
    p.DestErase = true;
    p.DiskSpan = true;
    p.MaxVolumeSize = 1440000;
    p.DiskSpanFormat = true;
    p.Zipfile = "daten-$dayname.zip";
    p.Addfiles = "*.doc;*.txt;";
    p.Exclfiles = "*.tmp;/home/anna/Dokumente/alt/;";
    p.Period = 3;
    p.Hours = 4;
    p.Minutes = 30;
    p.RunTime = "08:00; 16:30";
    p.DayOfWeek = {true, false, true, false, true, false, true};
    p.Weeks = 2;
    p.Day = 4;
    p.Weektime = "12:00";
    p.MonthDay = 31;
    p.Monthtime = "18:00";
    p.FreeTime = "01.03.2002-12:35; 24.12.2026-18:00";
    p.DateTimeFrom = 37500.25;
    p.DateTimeTo = 80000.75;
    p.MissedBackup = true;
    p.OnStartup = true;
    p.OnShutDown = true;
    p.ShutDown = true;
    p.ShutDownForce = true;
    p.Backuptype = 5;
    p.Verify = true;
    p.VerifyBit = true;
    p.RecycleBin = true;
    p.Archive = false;
    p.IncrFull = "Vollsicherung";
    p.FTP = true;
    p.FTPServer = "ftp.example.org:2121";
    p.FTPMode = 2;
    p.FTPPassive = true;
    p.Compress = true;
    p.Encrypt = true;
    p.Password = "Zip-Kennwort";
    p.TempDir = true;
    p.TempDirName = "/var/tmp/";
    p.CompLev = true;
    p.CompLevel = 9;
    p.CompDel = true;
    p.Generations = 255;
    p.Prior = true;
    p.Priority = -1;
    p.XFileAtt = true;
    p.SFileAtt = false;
    p.HFileAtt = false;
    p.RFileAtt = false;
    p.LastRun = 37625.75;
    p.LastGoodRun = 1'041'724'800;
    p.FollowLinks = true;
    p.DestFileSystem = "UUID=2f1c0a7e-5b0d-4c55-9a1e-3c1f0e9d8b7a";
    p.DestMountPoint = "/srv/sicherung mit Leerzeichen/";
    p.NextRun = 37627.5;
    p.Errors = 3;
    p.RunBefore = "mount /media/backup";
    p.RunBeforeWait = true;
    p.RunAfter = "umount /media/backup";
    p.RunAfterWait = true;
    p.FilesCount = 5'000'000'000LL;
    p.FilesSize = 9'000'000'000'000LL;
    p.FilesCompressed = 42;
    return p;
}

class ProfileFileTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::filesystem::path path = dir / "Backup.bpf";
    ProfileDefaults defaults;

    std::vector<TProfile> parse(const std::string& body)
    {
        return ParseProfileText("[Signature]\r\n\r\n\r\n" + body, defaults, NextRunRecalculationAt(Now));
    }

    ProfileList load(ProfileFileLoad* result = nullptr)
    {
        ProfileList list;
        ProfileFile file(path);
        const ProfileFileLoad r = file.LoadProfiles(list, defaults, NextRunRecalculationAt(Now));
        if (result)
            *result = r;
        return list;
    }
};

TEST_F(ProfileFileTest, EveryFieldReadsBackEqual)
{
    ProfileList list;
    list.AddToProfile(everyFieldSet());
    TProfile second = DefaultProfile(defaults);
    second.Name = "Zweites";
    second.NextRun = NoRun;
    second.LastRun = NoRun;
    list.AddToProfile(second);
    ASSERT_FALSE(ProfileFile(path).SaveProfiles(list));

    const ProfileList back = load();
    ASSERT_EQ(back.count(), 2);
    EXPECT_EQ(back.at(0), list.at(0));
    EXPECT_EQ(back.at(1), list.at(1));
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(ProfileFileTest, WriterLayout)
{
    ProfileList list;
    EXPECT_FALSE(ProfileFile(path).SaveProfiles(list));
    EXPECT_EQ(ReadFileBytes(path), "[Signature]\r\n\r\n\r\n");

    TProfile p = everyFieldSet();
    p.Source.clear();
    p.NetLogon = false; // user and password stay in memory but are not written
    p.FTP = false;
    list.AddToProfile(p);
    TProfile q = everyFieldSet();
    q.Name = "Ohne Benutzer";
    q.NetUser.clear();
    list.AddToProfile(q);
    ASSERT_FALSE(ProfileFile(path).SaveProfiles(list));

    const std::string content = ReadFileBytes(path);
    const std::vector<std::string> lines = SplitLines(content);
    EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), ""), 2); // only the two reserved lines are empty
    EXPECT_EQ(lines[3], "[Tägliche Sicherung]");
    EXPECT_EQ(lines[4], "Advanced=1");
    EXPECT_EQ(lines[5], "SourceListTree=1");
    EXPECT_EQ(lines[6], "Withsub=1"); // no Source line for an empty list
    EXPECT_EQ(lines[9], "NetLogon=0");
    EXPECT_EQ(lines[10], "NetUser=");
    EXPECT_EQ(lines[11], "NetPasswd=");
    EXPECT_EQ(lines[3 + 70], "FilesCompressed=42");     // 70 keys without Source
    EXPECT_EQ(lines[3 + 71], "LastGoodRun=1041724800"); // ours, after them: seconds since 1970
    EXPECT_EQ(lines[3 + 72], "FollowLinks=1");
    EXPECT_EQ(lines[3 + 73], "DestFileSystem=UUID=2f1c0a7e-5b0d-4c55-9a1e-3c1f0e9d8b7a");
    EXPECT_EQ(lines[3 + 74], "DestMountPoint=/srv/sicherung mit Leerzeichen/");
    EXPECT_NE(content.find("DayOfWeek=1010101\r\n"), std::string::npos);
    EXPECT_NE(content.find("DateTimeTo=" + FormatStampedDateTime(80000.75) + "\r\n"), std::string::npos);
    EXPECT_NE(content.find("FilesSize=9000000000000\r\n"), std::string::npos);
    EXPECT_EQ(content.find("RunRequest"), std::string::npos);
    const std::size_t second = content.find("[Ohne Benutzer]");
    EXPECT_NE(content.find("NetUser=\r\nNetPasswd=\r\n", second), std::string::npos);

    // An FTP profile logs in to its server with them: they are kept without the share logon.
    TProfile ftp = everyFieldSet();
    ftp.Name = "FTP";
    ftp.NetLogon = false;
    list.AddToProfile(ftp);
    ASSERT_FALSE(ProfileFile(path).SaveProfiles(list));

    const ProfileList back = load();
    EXPECT_EQ(back.at(2).NetUser, ftp.NetUser);
    EXPECT_EQ(back.at(2).NetPasswd, ftp.NetPasswd);
    EXPECT_TRUE(back.at(0).Source.empty());
    EXPECT_EQ(back.at(0).NetUser, "");
    EXPECT_EQ(back.at(0).NetPasswd, "");
    EXPECT_EQ(back.at(1).NetPasswd, "");
}

TEST_F(ProfileFileTest, ReaderRules)
{
    defaults.CompLevel = 7;
    defaults.Priority = 1;
    defaults.HFileAtt = false;
    const std::string longValue(3500, 'x');
    const auto profiles = parse("advanced=0\r\n"                           // before the first section: first profile
                                "[  Erstes  ]\r\n"                         // blanks at the ends go
                                "DESTINATION= /mnt/ziel/\r\n"              // a blank after "=" belongs to the value
                                "Withsub =1\r\n"                           // a blank before "=" makes the key unknown
                                "DayOfWeek=1\r\n"                          // Monday only
                                "Source=/a/\r\nSource=/b/\r\n"             // Source lines append
                                "Zipfile=eins.zip\r\nZipfile=zwei.zip\r\n" // a repeated key overwrites
                                "Exclfiles=" +
                                longValue +
                                "\r\n"
                                "Period=300\r\n"          // not a byte: left at the default
                                "CompLevel=hoch\r\n"      // not a number: left at the default
                                "FilesCompressed=42%\r\n" // read leniently
                                "Unbekannt=1\r\n"
                                "[]\r\n"                     // a section without a name
                                "Destination=/verwaist/\r\n" // lands in the next section
                                "[Zweites]\r\n"
                                "Hours=5\r\n"
                                "[]\r\n"
                                "Hours=6\r\n"); // keys after the last named section are lost
    ASSERT_EQ(profiles.size(), 2u);
    const TProfile& a = profiles[0];
    EXPECT_EQ(a.Name, "Erstes");
    EXPECT_FALSE(a.Advanced);
    EXPECT_EQ(a.Destination, " /mnt/ziel/");
    EXPECT_FALSE(a.Withsub);
    EXPECT_EQ(a.DayOfWeek, (std::array<bool, 7>{true, false, false, false, false, false, false}));
    EXPECT_EQ(a.Source, (std::vector<std::string>{"/a/", "/b/"}));
    EXPECT_EQ(a.Zipfile, "zwei.zip");
    EXPECT_EQ(a.Exclfiles, std::string(3000, 'x'));
    EXPECT_EQ(a.Period, 0);
    EXPECT_EQ(a.CompLevel, 7);
    EXPECT_EQ(a.Priority, 1);
    EXPECT_FALSE(a.HFileAtt);
    EXPECT_TRUE(a.SFileAtt);
    EXPECT_EQ(a.FilesCompressed, 42);
    EXPECT_EQ(a.LastRun, 0.0); // a missing LastRun is 0.0, not NoRun
    EXPECT_EQ(a.DateTimeFrom, OpenFrom);
    EXPECT_EQ(a.DateTimeTo, OpenTo);
    EXPECT_TRUE(a.MissedBackup);
    EXPECT_TRUE(a.Archive);
    const TProfile& b = profiles[1];
    EXPECT_EQ(b.Name, "Zweites");
    EXPECT_EQ(b.Destination, "/verwaist/");
    EXPECT_EQ(b.Hours, 5);
}

TEST_F(ProfileFileTest, WithoutCatchUpEveryProfileGetsANewNextRun)
{
    const std::string section = "Period=2\r\nHours=1\r\nMissedBackup=0\r\nNextRun=01.01.2000 00:00:00\r\n";
    const auto profiles = parse("[A]\r\n" + section + "[B]\r\n" + section +
                                "[C]\r\nPeriod=2\r\nHours=1\r\nNextRun=01.01.2000 00:00:00\r\n");
    ASSERT_EQ(profiles.size(), 3u);
    EXPECT_EQ(FormatDateTime(profiles[0].NextRun), "05.01.2003 12:00");
    EXPECT_EQ(FormatDateTime(profiles[1].NextRun), "05.01.2003 12:00");
    EXPECT_EQ(FormatDateTime(profiles[2].NextRun), "01.01.2000 00:00"); // catches up
}

TEST_F(ProfileFileTest, AScheduleWithoutAReadableMomentGetsOneFromItsSchedule)
{
    const struct
    {
        const char* section;
        const char* next; // as the list shows it
    } cases[] = {
        {"Period=3\r\nRunTime=18:00\r\nDayOfWeek=1111111\r\n", "05.01.2003 18:00"},
        {"Period=3\r\nRunTime=18:00\r\nDayOfWeek=1111111\r\nNextRun=kaputt\r\n", "05.01.2003 18:00"},
        {"Period=2\r\nHours=5\r\nNextRun=31.02.2003 10:00:00\r\n", "05.01.2003 15:00"},
        {"Period=6\r\nFreeTime=07.01.2003-09:30\r\nNextRun=\r\n", "07.01.2003 09:30"},
        // Caught up as stored when it can be read; no moment where there is no schedule.
        {"Period=3\r\nRunTime=18:00\r\nDayOfWeek=1111111\r\nNextRun=01.01.2003 18:00:00\r\n", "01.01.2003 18:00"},
        {"Period=0\r\n", "01.01.1900 00:00"},
        {"Period=9\r\nNextRun=kaputt\r\n", "01.01.1900 00:00"},
        {"Period=1\r\n", "01.01.1900 00:00"},
    };
    for (const auto& c : cases) {
        const auto profiles = parse(std::string("[A]\r\nMissedBackup=1\r\n") + c.section);
        ASSERT_EQ(profiles.size(), 1u);
        EXPECT_EQ(FormatDateTime(profiles[0].NextRun), c.next) << c.section;
    }
}

TEST_F(ProfileFileTest, LineEndsAndOlderEncodings)
{
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const std::string e = end;
        const auto profiles = ParseProfileText("[Signature]" + e + e + e + "[A]" + e + "Hours=3" + e, defaults, {});
        ASSERT_EQ(profiles.size(), 1u);
        EXPECT_EQ(profiles[0].Hours, 3);
    }
    const auto old = parse("[Sicherung M\xFC"
                           "ller]\r\nDestination=D:\\B\xFC"
                           "ro\\\r\n"
                           "[B\xFC"
                           "ro\xFC\r\n");
    ASSERT_EQ(old.size(), 2u);
    EXPECT_EQ(old[0].Name, "Sicherung Müller");
    EXPECT_EQ(old[0].Destination, "D:\\Büro\\");
    EXPECT_EQ(old[1].Name, "Büro"); // without a closing bracket the last character still goes whole
}

TEST_F(ProfileFileTest, FilesWithoutTheHeaderLoadNothingAndStayUntouched)
{
    struct Case
    {
        const char* content;
        bool firstLineEmpty;
        bool unreadable;
    };
    const Case cases[] = {
        {"", true, false},
        {"[Signature]\r\n\r\n", false, false}, // fewer than three lines
        {"\r\n[Signature]\r\n\r\n[A]\r\n", true, true},
        {"[signature]\r\n\r\n\r\n[A]\r\n", false, true},
        {" [Signature]\r\n\r\n\r\n[A]\r\n", false, true},
    };
    for (const Case& c : cases) {
        WriteFileBytes(path, c.content);
        ProfileFileLoad result;
        EXPECT_EQ(load(&result).count(), 0) << c.content;
        EXPECT_TRUE(result.existed);
        EXPECT_EQ(result.firstLineEmpty, c.firstLineEmpty) << c.content;
        EXPECT_EQ(result.unreadable, c.unreadable) << c.content;
        EXPECT_EQ(ReadFileBytes(path), c.content);
    }
    ProfileFileLoad missing;
    std::filesystem::remove(path);
    EXPECT_EQ(load(&missing).count(), 0);
    EXPECT_FALSE(missing.existed);
}

TEST_F(ProfileFileTest, AnUnreadableFileIsKeptAsideBeforeTheNextSave)
{
    const std::string foreign = "Dies ist keine Profildatei\r\n\r\n\r\n[A]\r\n";
    WriteFileBytes(path, foreign);
    WriteFileBytes(dir / "Backup.bpf.bak", "older copy");
    ProfileFile file(path);
    ProfileList list;
    ASSERT_TRUE(file.LoadProfiles(list, defaults, {}).unreadable);
    TProfile p = DefaultProfile(defaults);
    p.Name = "Neu";
    list.AddToProfile(p);
    ASSERT_FALSE(file.SaveProfiles(list));
    EXPECT_EQ(ReadFileBytes(dir / "Backup.bpf.bak"), "older copy");
    EXPECT_EQ(ReadFileBytes(dir / "Backup.bpf.bak2"), foreign);
    EXPECT_EQ(load().count(), 1);
    // Only once: the next save simply replaces the file.
    ASSERT_FALSE(file.SaveProfiles(list));
    EXPECT_FALSE(std::filesystem::exists(dir / "Backup.bpf.bak3"));
}

TEST_F(ProfileFileTest, AFailedSaveLeavesTheOldFileAndSaysWhy)
{
    ProfileList list;
    TProfile p = everyFieldSet();
    list.AddToProfile(p);
    ASSERT_FALSE(ProfileFile(path).SaveProfiles(list));
    const std::string before = ReadFileBytes(path);

    // A full disk: the file size limit makes every write past it fail.
    for (int i = 0; i < 50; ++i) {
        p.Name = "Profil " + std::to_string(i);
        list.AddToProfile(p);
    }
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const auto failure = ProfileFile(path).SaveProfiles(list);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->German().rfind("Datei " + path.string() + " kann nicht erstellt werden", 0), 0u)
        << failure->German();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // no temporary left
}

TEST_F(ProfileFileTest, AValueTheFileCannotHoldCostsOnlyThatValue)
{
    struct Case
    {
        std::function<void(TProfile&)> change;
        std::function<bool(const TProfile&)> stored; // what the profile reads back as
        const char* field;
    };
    const Case cases[] = {
        {[](TProfile& p) { p.NetUser = std::string(93, 'u'); }, [](const TProfile& b) { return b.NetUser.empty(); },
         "NetUser"},
        {[](TProfile& p) { p.NetPasswd = std::string(91, 'p'); },
         [](const TProfile& b) { return b.NetPasswd.empty() && !b.NetUser.empty(); }, "NetPasswd"},
        {[](TProfile& p) { p.Password = std::string(1501, 'p'); }, [](const TProfile& b) { return b.Password.empty(); },
         "Password"},
        // Bytes that are no UTF-8 would come back as other characters: a password that fails.
        {[](TProfile& p) { p.Password = "caf\xE9"; }, [](const TProfile& b) { return b.Password.empty(); }, "Password"},
        {[](TProfile& p) { p.Name = "A]\r\nRunBefore=rm -rf ~"; },
         [](const TProfile& b) { return b.Name == "A]  RunBefore=rm -rf ~" && b.RunBefore != "rm -rf ~"; }, "Name"},
        {[](TProfile& p) { p.Source.push_back("/a/\n[B]"); },
         [](const TProfile& b) { return b.Source.back() == "/a/"; }, "Source"},
        {[](TProfile& p) { p.Exclfiles = std::string(3001, 'x'); },
         [](const TProfile& b) { return b.Exclfiles == std::string(3000, 'x'); }, "Exclfiles"},
    };
    for (const Case& c : cases) {
        // The profile with the value stands between two others that must keep everything.
        ProfileList list;
        TProfile before = everyFieldSet();
        before.Name = "Davor";
        list.AddToProfile(before);
        TProfile p = everyFieldSet();
        c.change(p);
        list.AddToProfile(p);
        TProfile after = everyFieldSet();
        after.Name = "Danach";
        list.AddToProfile(after);
        ProfileFile file(path);
        ASSERT_FALSE(file.SaveProfiles(list)) << c.field;
        const std::vector<std::string> warnings = file.TakeWarnings();
        ASSERT_EQ(warnings.size(), 1u) << c.field;
        EXPECT_NE(warnings[0].find(std::string("\"") + c.field + "\""), std::string::npos) << warnings[0];
        EXPECT_FALSE(file.SaveProfiles(list));
        EXPECT_TRUE(file.TakeWarnings().empty()); // said once
        const ProfileList back = load();
        ASSERT_EQ(back.count(), 3) << c.field;
        EXPECT_EQ(back.at(0), list.at(0));
        EXPECT_EQ(back.at(2), list.at(2));
        EXPECT_TRUE(c.stored(back.at(1))) << c.field;
    }
    // A profile without a name cannot be read back: it is the one left out, and said so.
    ProfileList list;
    TProfile unnamed = everyFieldSet();
    unnamed.Name = "  ";
    list.AddToProfile(unnamed);
    list.AddToProfile(everyFieldSet());
    ProfileFile file(path);
    ASSERT_FALSE(file.SaveProfiles(list));
    EXPECT_EQ(file.TakeWarnings(), (std::vector<std::string>{"Ein Profil ohne Namen wird nicht gespeichert."}));
    EXPECT_EQ(load().count(), 1);
}

TEST_F(ProfileFileTest, EverySecretTheFileGivesBackExactlyIsKept)
{
    const struct
    {
        const char* what;
        std::function<void(TProfile&)> set;
    } cases[] = {
        {"a ZIP password of 117 bytes", [](TProfile& p) { p.Password = std::string(117, 'p'); }},
        {"the longest ZIP password", [](TProfile& p) { p.Password = std::string(MaxZipPasswordBytes, 'q'); }},
        {"umlauts", [](TProfile& p) { p.Password = std::string(300, 'x') + "Größe äöü"; }},
        {"the longest logon",
         [](TProfile& p) {
             p.NetUser = std::string(MaxNetUserBytes, 'u');
             p.NetPasswd = std::string(MaxNetPasswdBytes, 'p');
         }},
    };
    for (const auto& c : cases) {
        ProfileList list;
        TProfile p = everyFieldSet();
        c.set(p);
        list.AddToProfile(p);
        ProfileFile file(path);
        ASSERT_FALSE(file.SaveProfiles(list)) << c.what;
        EXPECT_TRUE(file.TakeWarnings().empty()) << c.what;
        const ProfileList back = load();
        ASSERT_EQ(back.count(), 1) << c.what;
        EXPECT_EQ(back.at(0), list.at(0)) << c.what;
    }
}

TEST_F(ProfileFileTest, AFileThatCannotBeReadIsNeverSavedOver)
{
    WriteFileBytes(path, "[Signature]\r\n\r\n\r\n[Wichtig]\r\nPeriod=3\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::none);
    // Root reads what it likes: the test reads as nobody would.
    if (::geteuid() == 0 && ::access(path.c_str(), R_OK) == 0) {
        std::filesystem::remove(path);
        std::filesystem::create_directory(path); // a folder where the file should be cannot be read either
    }
    ProfileFile file(path);
    ProfileList list;
    const ProfileFileLoad loaded = file.LoadProfiles(list, {}, {});
    EXPECT_FALSE(loaded.cannotRead.empty());
    EXPECT_FALSE(loaded.unreadable); // not set aside as a file that is no profile file
    list.AddToProfile(everyFieldSet());
    const auto failure = file.SaveProfiles(list);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->German().find("wird nicht überschrieben"), std::string::npos) << failure->German();
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".bak"));
}

TEST_F(ProfileFileTest, AFileThatIsALinkStaysALink)
{
    const auto real = dir / "woanders/Backup.bpf";
    std::filesystem::create_directories(real.parent_path());
    WriteFileBytes(real, "[Signature]\r\n\r\n\r\n");
    std::filesystem::create_symlink(real, path);
    ProfileList list;
    list.AddToProfile(everyFieldSet());
    ASSERT_FALSE(ProfileFile(path).SaveProfiles(list));
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_NE(ReadFileBytes(real).find("[Tägliche Sicherung]"), std::string::npos);
    EXPECT_EQ(load().count(), 1);
}

TEST(ProfileDestinationTest, ANewDestinationForgetsTheMediumOfTheOldOne)
{
    TProfile p = everyFieldSet();
    ChangeDestination(p, p.Destination);
    EXPECT_FALSE(p.DestMountPoint.empty());
    ChangeDestination(p, "/home/anna/sicherung/");
    EXPECT_EQ(p.Destination, "/home/anna/sicherung/");
    EXPECT_TRUE(p.DestFileSystem.empty());
    EXPECT_TRUE(p.DestMountPoint.empty());
}

} // namespace
