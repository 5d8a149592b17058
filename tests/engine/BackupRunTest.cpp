#include "engine/BackupRun.h"

#include "base/Text.h"
#include "engine/BackupThread.h"
#include "engine/SourceScan.h"
#include "platform/posix/ArchiveStateCatalogue.h"
#include "platform/posix/PosixFileSystem.h"
#include "profiles/ProfileText.h"
#include "support/EngineRun.h"
#include "support/Shell.h"
#include "support/SmallMediumFileSystem.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace {

using Tree = std::vector<std::string>;

// A file system whose copies come out damaged (the same size, other bytes), and whose medium
// can be made small.
class DamagingFileSystem final : public SmallMediumFileSystem
{
public:
    std::string damage;     // copies of files whose name ends like this are damaged
    std::string unlistable; // this folder cannot be listed (a damaged directory, say)
    FolderListing ListFolder(const std::string& folder) override
    {
        if (folder == unlistable)
            return {{1117, "Input/output error"}, {}};
        return PosixFileSystem::ListFolder(folder);
    }
    Status CopyFile(const std::string& source, const std::string& target) override
    {
        const Status result = PosixFileSystem::CopyFile(source, target);
        if (result.ok() && !damage.empty() && target.size() >= damage.size() &&
            target.find(damage) != std::string::npos) {
            std::string content = ReadFileBytes(target);
            if (!content.empty())
                content[0] = static_cast<char>(content[0] ^ 0x20);
            WriteFileBytes(target, content);
        }
        return result;
    }
};

class BackupRunTest : public EngineRun
{
protected:
    DamagingFileSystem fs;

    BackupRunTest()
    {
        platform.now = 37626.0 + (14 * 3600 + 7 * 60 + 33) / 86400.0; // 05.01.2003 14:07:33
    }

    RunResult run(const TProfile& p, std::int64_t reference = NeverRan) { return EngineRun::run(fs, p, reference); }

    // The lines between the header and the footer.
    static std::vector<std::string> body(const RunResult& r)
    {
        std::vector<std::string> lines;
        bool inside = false;
        for (const std::string& line : r.logLines) {
            if (line.rfind("Startzeit", 0) == 0) {
                inside = true;
                continue;
            }
            if (inside && (line.rfind("-----", 0) == 0 || line.rfind("Verzeichn. durchsucht", 0) == 0))
                break;
            if (inside && line.rfind("=====", 0) != 0)
                lines.push_back(line);
        }
        return lines;
    }
};

TEST_F(BackupRunTest, FullBackupCopiesTheTreeAsItIs)
{
    MakeFile(src / "a.txt", "hallo", 1'000'000'000);
    MakeFile(src / "sub/tief/b.txt", "welt!");
    MakeFile(src / ".versteckt", "h");
    MakeFile(src / ".svn/entries", "x");
    MakeFile(dir / "woanders/c.txt", "über einen Link");
    std::filesystem::create_symlink(dir / "woanders/c.txt", src / "link.txt");
    std::filesystem::create_directory_symlink(dir / "woanders", src / "ordnerlink");
    ::mkfifo((src / "fifo").c_str(), 0600);
    ::chmod((src / "a.txt").c_str(), 0444);

    const RunResult r = run(profile(BackupFull));
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    // Hidden folders go with hidden files (~/.config is what users need back); links stay links
    // (their targets may lie anywhere), a FIFO is made anew.
    EXPECT_EQ(TreeOf(dst), (Tree{".svn/", ".svn/entries", ".versteckt", "a.txt", "fifo", "link.txt", "ordnerlink",
                                 "sub/", "sub/tief/", "sub/tief/b.txt"}));
    EXPECT_EQ(ReadFileBytes(dst / "sub/tief/b.txt"), "welt!");
    EXPECT_EQ(std::filesystem::read_symlink(dst / "link.txt"), dir / "woanders/c.txt");
    EXPECT_EQ(std::filesystem::read_symlink(dst / "ordnerlink"), dir / "woanders");
    EXPECT_TRUE(std::filesystem::is_fifo(dst / "fifo"));
    EXPECT_EQ(ModifiedOf(dst / "a.txt"), 1'000'000'000);
    struct stat st
    {
    };
    ::stat((dst / "a.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(r.filesDone, 7);
    const auto linkBytes = (dir / "woanders/c.txt").string().size() + (dir / "woanders").string().size();
    EXPECT_EQ(r.bytesDone, static_cast<std::int64_t>(5 + 5 + 1 + 1 + linkBytes));
    EXPECT_EQ(observer.filesToDo, 7);
    EXPECT_EQ(observer.filesDone, 7);
    EXPECT_EQ(platform.threadPriority, -2);
}

TEST_F(BackupRunTest, ANoteOfTheRunThatCannotBeWrittenIsSaidAndTheBackupGoesOn)
{
    MakeFile(src / "a.txt", "a");
    // The data folder is a file: nothing can be noted in it.
    std::filesystem::remove_all(dataFolder);
    MakeFile(dataFolder, "keine Ordner");
    const RunResult r = run(profile(BackupFull));
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    EXPECT_EQ(ReadFileBytes(dst / "a.txt"), "a");
    EXPECT_TRUE(std::any_of(r.logLines.begin(), r.logLines.end(), [](const std::string& line) {
        return line.rfind("Hinweis: Die Laufnotiz im Datenordner kann nicht geschrieben werden (", 0) == 0;
    })) << testing::PrintToString(r.logLines);
}

TEST_F(BackupRunTest, FollowingLinksTakesWhatTheyLeadToAndNeverGoesRoundInCircles)
{
    MakeFile(src / "a.txt", "hallo");
    MakeFile(dir / "woanders/c.txt", "über einen Link");
    std::filesystem::create_symlink(dir / "woanders/c.txt", src / "link.txt");
    std::filesystem::create_directory_symlink(dir / "woanders", src / "ordnerlink");
    std::filesystem::create_symlink(dir / "nirgends", src / "ins-leere");
    std::filesystem::create_directory_symlink(".", src / "zurueck");
    TProfile p = profile(BackupIncremental);
    p.FollowLinks = true;
    for (int n = 1; n <= 2; ++n) {
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
        EXPECT_EQ(TreeOf(dst), (Tree{"a.txt", "ins-leere", "link.txt", "ordnerlink/", "ordnerlink/c.txt"}));
        EXPECT_EQ(ReadFileBytes(dst / "link.txt"), "über einen Link");
        EXPECT_EQ(ReadFileBytes(dst / "ordnerlink/c.txt"), "über einen Link");
        EXPECT_TRUE(std::filesystem::is_symlink(dst / "ins-leere")); // leads nowhere: kept as it is
        EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(),
                            "Hinweis: " + (src / "zurueck").string() +
                                "/ führt im Kreis zurück und wird nicht noch einmal gesichert"),
                  r.logLines.end())
            << testing::PrintToString(r.logLines);
        // The second run finds nothing changed, the followed links included.
        if (n == 2) {
            EXPECT_EQ(r.filesDone, 0);
        }
    }
}

TEST_F(BackupRunTest, SocketsAndDeviceNodesAreNamedNeverCopied)
{
    MakeFile(src / "a.txt", "hallo");
    const auto socket = src / "lauscher.sock";
    ASSERT_TRUE(
        RunShell("python3 -c \"import socket; s=socket.socket(socket.AF_UNIX); s.bind('" + socket.string() + "')\"")
            .first);
    const bool devices = ::mknod((src / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    for (const bool archive : {false, true}) {
        TProfile p = profile(BackupFull);
        p.Compress = archive;
        p.Zipfile = "x.zip";
        ::mkfifo((src / "fifo").c_str(), 0600);
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
        const auto has = [&r](const std::string& line) {
            return std::find(r.logLines.begin(), r.logLines.end(), line) != r.logLines.end();
        };
        EXPECT_TRUE(has("nicht gesichert: Socket " + socket.string())) << testing::PrintToString(r.logLines);
        if (devices) {
            EXPECT_TRUE(has("nicht gesichert: Gerätedatei " + (src / "null").string()));
        }
        // A FIFO is made anew in a folder; an archive cannot hold one.
        EXPECT_EQ(has("nicht gesichert: FIFO " + (src / "fifo").string()), archive);
        EXPECT_EQ(std::filesystem::is_fifo(dst / "fifo"), !archive);
        std::filesystem::remove_all(dst);
    }
}

TEST_F(BackupRunTest, ParallelCopiesCreateTheirFoldersAndReportInWalkOrder)
{
    for (int d = 0; d < 30; ++d)
        for (int f = 0; f < 25; ++f)
            MakeFile(src / ("d" + std::to_string(d)) / ("f" + std::to_string(f)), std::to_string(d * 100 + f));
    const RunResult r = run(profile(BackupFull));
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(body(r));
    EXPECT_EQ(r.filesDone, 750);
    EXPECT_EQ(ReadFileBytes(dst / "d17/f3"), "1703");
    std::vector<std::string> expected;
    for (int d = 0; d < 30; ++d)
        for (int f = 0; f < 25; ++f)
            expected.push_back("d" + std::to_string(d) + "/f" + std::to_string(f));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(body(r), expected);
}

TEST_F(BackupRunTest, ReportBlock)
{
    logAll = false;
    logProfile = true;
    MakeFile(src / "a.txt", "hallo");
    MakeFile(src / "sub/b.txt", "welt!");
    TProfile p = profile(BackupFull);
    p.Addfiles = "*.txt;";
    const RunResult r = run(p);
    const std::string s = src.string() + "/";
    const std::string d = dst.string() + "/";
    const std::vector<std::string> expected = {
        "============================================================",
        "Profil                : Test",
        "============================================================",
        "Quelle                : " + s,
        "                        Mit Unterverzeichnissen",
        "Ziel                  : " + d,
        "Modus                 : Vollsicherung",
        "Einschliessen         : *.txt;",
        "Ausschliessen         : ",
        "------------------------------------------------------------",
        "Datum                 : 05.01.2003",
        "Startzeit             : 14:07:33",
        "============================================================",
        s + "sub/",
        s,
        "------------------------------------------------------------",
        "Verzeichn. durchsucht : 2",
        "Dateien durchsucht    : 2",
        "Anzahl kopiert        : 2",
        "Grösse kopiert        : 10",
        "MB/Minute             : 0 MB/min",
        "Fehleranzahl          : 0",
        "Endzeit               : 14:07:33",
        "Sicherungsdauer       : 00:00:00",
        "Ende Profil           : Test",
        "============================================================",
        "",
    };
    EXPECT_EQ(r.logLines, expected);
}

TEST_F(BackupRunTest, MasksExclusionsAndAttributes)
{
    for (const char* name : {"a.doc", "b.xls", "c.txt", "x.tmp", "a.tar.gz", "ohnepunkt", "Temp", ".h.doc"})
        MakeFile(src / name, "1");
    MakeFile(src / "temp/in.doc", "1");
    MakeFile(src / "sub/Temp/in.doc", "1");
    MakeFile(src / "sub/keep/in.doc", "1");
    MakeFile(src / "sub/keep/in.tmp", "1");

    TProfile p = profile(BackupFull);
    p.Exclfiles = "Temp;*.tmp;*.gz;;sub/keep;";
    run(p);
    // "Temp" leaves out every folder of that name (any case) and the file; "*.gz" keeps
    // a.tar.gz; entries after the empty one are never read.
    EXPECT_EQ(TreeOf(dst), (Tree{".h.doc", "a.doc", "a.tar.gz", "b.xls", "c.txt", "ohnepunkt", "sub/", "sub/keep/",
                                 "sub/keep/in.doc"}));

    // "*.*" leaves out every name with a dot, but none without.
    std::filesystem::remove_all(dst);
    p.Exclfiles = "*.*;";
    run(p);
    EXPECT_EQ(TreeOf(dst), (Tree{".h.doc", "Temp", "ohnepunkt"}));

    std::filesystem::remove_all(dst);
    p.Exclfiles = "";
    p.Addfiles = "*.doc;*.XLS;c.*;";
    attributeMask = 32 + 1; // without hidden files, and so without hidden folders
    MakeFile(src / ".config/x.doc", "1");
    const RunResult r = run(p);
    EXPECT_EQ(TreeOf(dst), (Tree{"a.doc", "b.xls", "c.txt", "sub/", "sub/Temp/", "sub/Temp/in.doc", "sub/keep/",
                                 "sub/keep/in.doc", "temp/", "temp/in.doc"}));
    EXPECT_EQ(r.errorCount, 0);
}

TEST_F(BackupRunTest, AFileMatchingTwoMasksIsProcessedTwice)
{
    MakeFile(src / "a.txt", "1");
    TProfile p = profile(BackupFull);
    p.Addfiles = "*.txt;a*.*;";
    const RunResult r = run(p);
    EXPECT_EQ(observer.filesToDo, 2);
    EXPECT_EQ(r.filesDone, 2);
}

TEST_F(BackupRunTest, WithoutSubfoldersAndWithEmptyFolders)
{
    MakeFile(src / "a.txt", "1");
    MakeFile(src / "sub/b.txt", "1");
    std::filesystem::create_directories(src / "leer/auch leer");
    TProfile p = profile(BackupFull);
    p.Withsub = false;
    run(p);
    EXPECT_EQ(TreeOf(dst), (Tree{"a.txt"}));

    p.Withsub = true;
    p.Withempty = true;
    run(p);
    EXPECT_EQ(TreeOf(dst), (Tree{"a.txt", "leer/", "leer/auch leer/", "sub/", "sub/b.txt"}));
}

TEST_F(BackupRunTest, SeveralSourcesLandBelowTheirCommonFolder)
{
    MakeFile(dir / "daten/A/a.txt", "1");
    MakeFile(dir / "daten/B/b.txt", "2");
    TProfile p = profile(BackupFull);
    p.Source = {(dir / "daten/A").string(), (dir / "daten/B/").string(), (dir / "daten/fehlt").string()};
    const RunResult r = run(p);
    EXPECT_EQ(TreeOf(dst), (Tree{"A/", "A/a.txt", "B/", "B/b.txt"}));
    ASSERT_EQ(r.errorCount, 1);
    EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(),
                        "!!! Fehler    : Quellverzeichnis nicht erreichbar: " + (dir / "daten/fehlt").string() + "/"),
              r.logLines.end());
    EXPECT_EQ(r.logLines[3], "Quelle                : " + (dir / "daten/A/").string());

    EXPECT_EQ(CommonFolder("/data/A/", "/data/B/"), "/data/");
    EXPECT_EQ(CommonFolder("/data/Musik/", "/data/musik/"), "/data/"); // two folders here
    EXPECT_EQ(CommonFolder("/data/A/", "/DATA/B/"), "/");
    EXPECT_EQ(SourcePrefixOf("/data/A/", "/data/", 2), "A/");
    EXPECT_EQ(SourcePrefixOf("/x/", "/", 2), "x/");
    EXPECT_EQ(SourcePrefixOf("/data/A/", "", 1), "");
}

TEST_F(BackupRunTest, SourceAndDestinationAreComparedByRealLocation)
{
    MakeFile(src / "a.txt", "gut");
    MakeFile(dir / "andere/b.txt", "b");
    std::filesystem::create_directory_symlink(src, dir / "verweis");
    std::filesystem::create_directory_symlink(dir.path(), dir / "oben");
    // The same folder under other names: nothing is touched, one error before the walk.
    for (const std::string& destination :
         {(dir / "verweis").string(), (src / "../quelle/").string(), (dir / "oben/quelle").string() + "//"}) {
        TProfile p = profile(BackupMove);
        p.Destination = destination;
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 1) << destination;
        EXPECT_EQ(body(r), (std::vector<std::string>{
                               "!!! Fehler    : Quelle und Ziel sind derselbe Ordner: " + src.string() + "/"}))
            << destination;
        EXPECT_EQ(ReadFileBytes(src / "a.txt"), "gut");
    }
    // A destination that holds a source or the program's data folder, seen through a link, is
    // never emptied.
    const auto box = dir / "behaelter";
    std::filesystem::create_directories(box / "quelle2");
    std::filesystem::create_directories(box / "daten");
    std::filesystem::create_directory_symlink(box, dir / "zeiger");
    const std::string link = (dir / "zeiger").string() + "/";
    struct Case
    {
        std::string destination;
        std::vector<std::string> sources;
        std::string dataFolder;
        std::string refusal;
    };
    const Case cases[] = {
        {link, {(box / "quelle2").string()}, "", "enthält die Quelle " + (box / "quelle2").string()},
        {box.string() + "/", {(dir / "andere").string()}, link + "daten", "enthält den Datenordner " + link + "daten/"},
        {link, {(dir / "andere").string()}, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RefusalToErase(fs, c.destination, c.sources, "", c.dataFolder).value_or(""), c.refusal);

    // A bind mount shows the source under another path: it is still the source.
    const auto bound = dir / "gebunden";
    std::filesystem::create_directories(bound);
    if (!RunShell("mount --bind " + src.string() + " " + bound.string() + " 2>/dev/null").first)
        GTEST_SKIP() << "no bind mounts here";
    struct Unmount
    {
        std::string path;
        ~Unmount() { RunShell("umount " + path); }
    } unmount{bound.string()};
    EXPECT_EQ(RefusalToErase(fs, bound.string() + "/", {src.string() + "/"}, "", "").value_or(""),
              "enthält die Quelle " + src.string() + "/");
    // And a destination inside the source, reached through the bind mount, is never walked.
    TProfile p = profile(BackupFull);
    p.Destination = (bound / "sicherung").string();
    p.Generations = 2;
    run(p);
    run(p);
    EXPECT_EQ(TreeOf(src / "sicherung"), (Tree{"Generation.1/", "Generation.1/a.txt", "a.txt"}));
}

TEST_F(BackupRunTest, EveryMissCountsAsAnErrorWhateverTheLogSettings)
{
    // A folder that cannot be listed: an error line, not a silent gap in the backup.
    MakeFile(src / "a.txt", "1");
    MakeFile(src / "kaputt/tief.txt", "2");
    fs.unlistable = (src / "kaputt/").string();
    TProfile p = profile(BackupFull);
    logError = false;
    logProfile = false;
    logAll = false;
    RunResult r = run(p);
    EXPECT_GE(r.errorCount, 1);
    const auto unreadable = std::count_if(r.logLines.begin(), r.logLines.end(), [](const std::string& l) {
        return l.rfind("!!! Fehler    : Verzeichnis nicht lesbar: ", 0) == 0 && l.find("(1117 - ") != std::string::npos;
    });
    EXPECT_EQ(unreadable, 1) << testing::PrintToString(r.logLines);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(ReadFileBytes(dst / "a.txt"), "1");
    fs.unlistable.clear();

    // A missing source of a compressing profile, with the error lines of files switched off.
    p.Source = {(dir / "fehlt").string()};
    p.Compress = true;
    p.Zipfile = "x.zip";
    r = run(p);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(body(r), (std::vector<std::string>{"!!! Fehler    : Quellverzeichnis nicht erreichbar: " +
                                                 (dir / "fehlt/").string()}));
}

TEST_F(BackupRunTest, ProfilesThatCannotRunAreRefusedBeforeAnythingIsTouched)
{
    MakeFile(src / "a.txt", "1");
    MakeFile(dataFolder / "Backup.bpf", "die Profile");
    MakeFile(dir / "zweite/b.txt", "2");
    struct Case
    {
        std::function<void(TProfile&)> change;
        std::string line;
    };
    const Case cases[] = {
        {[this](TProfile& p) {
             p.Backuptype = BackupSynchronise;
             p.Source.push_back((dir / "zweite").string());
         },
         "Synchronisieren braucht genau eine Quelle (2 angegeben)"},
        {[](TProfile& p) {
             p.Compress = true;
             p.Zipfile = "x.zip";
             p.Encrypt = true;
             p.Password.clear(); // a password the profile file could not read back
         },
         "Verschlüsselung ohne lesbares ZIP-Kennwort: kein Archiv geschrieben"},
        {[](TProfile& p) { p.Destination = " "; }, "kein Ziel angegeben"},
        {[](TProfile& p) { p.Backuptype = 9; }, "unbekannte Sicherungsart 9"},
        {[this](TProfile& p) {
             p.Backuptype = BackupMove;
             p.Source = {dir.path().string()};
         },
         "Quelle " + dir.path().string() + "/ enthält den Datenordner " + (dataFolder / "").string()},
        {[this](TProfile& p) { p.Source = {dataFolder.string()}; },
         "Quelle " + (dataFolder / "").string() + " liegt im Datenordner " + (dataFolder / "").string()},
    };
    for (const Case& c : cases) {
        TProfile p = profile(BackupFull);
        c.change(p);
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 1) << c.line;
        EXPECT_EQ(body(r), (std::vector<std::string>{"!!! Fehler    : " + c.line}));
        EXPECT_FALSE(std::filesystem::exists(dst / "a.txt"));
        EXPECT_FALSE(std::filesystem::exists(dst / "x.zip"));
        EXPECT_EQ(ReadFileBytes(dir / "zweite/b.txt"), "2");
        EXPECT_EQ(ReadFileBytes(dataFolder / "Backup.bpf"), "die Profile");
    }
    // A backup of a folder that holds the data folder leaves the data folder out.
    TProfile around = profile(BackupFull);
    around.Source = {dir.path().string()};
    const RunResult r = run(around);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(body(r));
    EXPECT_TRUE(std::filesystem::exists(dst / "quelle/a.txt"));
    EXPECT_FALSE(std::filesystem::exists(dst / "programmdaten"));
}

TEST_F(BackupRunTest, AnArchiveThatCannotBeWrittenCountsNothingAsCopied)
{
    MakeFile(src / "a.txt", "1");
    std::filesystem::create_directories(dst / "x.zip"); // a folder where the archive goes
    TProfile p = profile(BackupFull);
    p.Compress = true;
    p.Zipfile = "x.zip";
    const RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(r.filesDone, 0);
    EXPECT_EQ(r.bytesDone, 0);
    EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(), "Anzahl kopiert        : 0"), r.logLines.end());
    const auto zipError = std::find_if(r.logLines.begin(), r.logLines.end(),
                                       [](const std::string& l) { return l.rfind("!!! ZIP-Error : ", 0) == 0; });
    ASSERT_NE(zipError, r.logLines.end());
    EXPECT_NE(zipError->find("x.zip"), std::string::npos) << *zipError; // says which file and why
}

TEST_F(BackupRunTest, ArchiveNamesAreRelativeAndForeignBytesDoNotCostTheArchive)
{
    MakeFile(src / "a.txt", "a");
    MakeFile(src / "innen/b.txt", "b");
    MakeFile(src / std::string("caf\xE9.txt"), "latin1"); // written by an older system
    TProfile p = profile(BackupFull);
    p.Source = {src.string(), (src / "innen").string()}; // one source inside the other
    p.Compress = true;
    p.Zipfile = "x.zip";
    const RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(body(r));
    EXPECT_EQ(r.filesDone, 4); // innen/b.txt twice, once from each source
    const auto [listed, names] = RunShell("unzip -Z1 " + (dst / "x.zip").string());
    ASSERT_TRUE(listed) << names;
    EXPECT_EQ(names.find("\n/"), std::string::npos) << names;
    EXPECT_NE(names.find("innen/b.txt"), std::string::npos) << names;
    EXPECT_TRUE(RunShell("unzip -tq " + (dst / "x.zip").string()).first);
    EXPECT_TRUE(RunShell("7z t " + (dst / "x.zip").string()).first);
    const auto out = dir / "aus";
    ASSERT_TRUE(RunShell("7z x -o" + out.string() + " " + (dst / "x.zip").string()).first);
    bool latin = false;
    for (const auto& e : std::filesystem::directory_iterator(out))
        latin = latin || (e.is_regular_file() && ReadFileBytes(e.path()) == "latin1");
    EXPECT_TRUE(latin);
}

TEST_F(BackupRunTest, AMediumThatIsNotPluggedInIsNeverFilledOnTheDiskBelowIt)
{
    const auto media = dir / "media";
    const auto stick = media / "stick";
    std::filesystem::create_directories(stick);
    platform.mediaRoots = {media.string() + "/"};
    if (!RunShell("mount -t tmpfs -o size=4m tmpfs " + stick.string() + " 2>&1").first)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount
    {
        std::string path;
        ~Unmount() { RunShell("umount " + path + " 2>/dev/null"); }
    } unmount{stick.string()};
    for (int i = 0; i < 30; ++i)
        MakeFile(src / ("d" + std::to_string(i)) / "f.txt", std::to_string(i));
    TProfile p = profile(BackupFull);
    p.Destination = (stick / "sicherung").string();
    ASSERT_EQ(run(p).errorCount, 0); // plugged in: its folders are made on it

    // Taken away in the middle of the run: the run stops, and nothing lands on the disk below.
    std::filesystem::remove_all(stick / "sicherung");
    observer.onProgress = [&] {
        if (observer.filesDone == 3)
            RunShell("umount -l " + stick.string());
    };
    RunResult r = run(p);
    EXPECT_TRUE(std::filesystem::is_empty(stick));
    EXPECT_GE(r.errorCount, 1);
    EXPECT_LT(r.filesDone, 30);
    EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(),
                        "!!! Fehler    : Ziel " + (stick / "sicherung/").string() +
                            " ist nicht mehr verfügbar: der Lauf wurde beendet"),
              r.logLines.end())
        << testing::PrintToString(body(r));

    // Not plugged in at the start: nothing is made, the run says why.
    observer.onProgress = nullptr;
    r = run(p);
    EXPECT_TRUE(std::filesystem::is_empty(stick));
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(body(r), (std::vector<std::string>{"!!! Fehler    : Ziel " + (stick / "sicherung/").string() +
                                                 " derzeit nicht verfügbar (Medium nicht eingehängt unter " +
                                                 media.string() + "/)"}));
}

TEST_F(BackupRunTest, IncrementalAndDifferentialByArchiveBit)
{
    MakeFile(src / "a.txt", "1");
    MakeFile(src / "b.txt", "2");
    TProfile incremental = profile(BackupIncremental);
    EXPECT_EQ(run(incremental).filesDone, 2);
    EXPECT_EQ(run(incremental).filesDone, 0);
    MakeFile(src / "b.txt", "geändert");
    EXPECT_EQ(run(incremental).filesDone, 1);
    EXPECT_EQ(ReadFileBytes(dst / "b.txt"), "geändert");

    MakeFile(src / "c.txt", "3");
    TProfile differential = profile(BackupDifferential);
    EXPECT_EQ(run(differential).filesDone, 1);
    EXPECT_EQ(run(differential).filesDone, 1); // the bit stays until a full run clears it
    EXPECT_EQ(run(profile(BackupFull)).filesDone, 3);
    EXPECT_EQ(run(differential).filesDone, 0);
}

TEST_F(BackupRunTest, ADamagedCatalogueIsReportedOnceAndEveryFileTakenAgain)
{
    for (int i = 0; i < 400; ++i)
        MakeFile(src / ("eine-datei-mit-einem-recht-langen-namen-" + std::to_string(i) + ".txt"), "x");
    const TProfile p = profile(BackupIncremental);
    ASSERT_EQ(run(p).filesDone, 400);
    ASSERT_EQ(run(p).filesDone, 0);
    // Damage that shows only when the records are read, in the middle of the run.
    std::string bytes = ReadFileBytes(dir / "archive-state.db");
    ASSERT_GT(bytes.size(), 16'384u);
    for (std::size_t i = 8192; i < bytes.size() - 4096; ++i)
        bytes[i] = static_cast<char>(i * 7);
    WriteFileBytes(dir / "archive-state.db", bytes);
    std::filesystem::remove(dir / "archive-state.db-wal");
    std::filesystem::remove(dir / "archive-state.db-shm");

    RunResult r = run(p);
    EXPECT_EQ(r.filesDone, 400);
    const auto damaged = std::count_if(r.logLines.begin(), r.logLines.end(), [](const std::string& l) {
        return l.rfind("!!! Fehler    : Archivstatus ", 0) == 0 && l.find("beschädigt") != std::string::npos;
    });
    EXPECT_EQ(damaged, 1) << testing::PrintToString(r.logLines);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "archive-state.db.broken"));
    r = run(p);
    EXPECT_EQ(r.errorCount, 0); // told once; the new catalogue holds this run's files
    EXPECT_EQ(r.filesDone, 0);
}

TEST_F(BackupRunTest, IncrementalByDate)
{
    // A file unpacked or moved into the source keeps its old modification time; it is new here
    // all the same (its change time says so) and must be taken.
    MakeFile(src / "ausgepackt.txt", "1", 1'000'000'000);
    TProfile p = profile(BackupIncremental);
    p.Archive = false;
    // Moments are seconds since 1970: no change of the clocks makes one ambiguous.
    const std::int64_t now = ::time(nullptr);
    EXPECT_EQ(run(p, now + 3600).filesDone, 0);
    EXPECT_EQ(TreeOf(dst).size(), 0u);
    EXPECT_EQ(run(p, now - 3600).filesDone, 1);
    // Changed a moment before the reference: taken again rather than never.
    EXPECT_EQ(run(p, now + 1).filesDone, 1);
    std::filesystem::remove_all(dst);
    // A file dated before 1900 (a clock or an unpacker got it wrong) is a file like any other.
    MakeFile(src / "uralt.txt", "u", -2'300'000'000);
    run(p, NeverRan); // never ran: every file counts as changed
    EXPECT_EQ(TreeOf(dst), (Tree{"ausgepackt.txt", "uralt.txt"}));
}

TEST_F(BackupRunTest, SynchroniseBothWays)
{
    const std::int64_t t = 1'100'000'000;
    MakeFile(src / "nur-quelle.txt", "q", t);
    MakeFile(src / "gleich.txt", "quelle", t);
    MakeFile(src / "sub/neuer-hier.txt", "neu", t + 100);
    MakeFile(dst / "gleich.txt", "ziel!!", t);
    MakeFile(dst / "sub/neuer-hier.txt", "alt", t);
    MakeFile(dst / "nur-ziel/z.txt", "z", t);
    MakeFile(dst / "beide.txt", "ziel", t + 1); // newer, but within the two seconds of a DOS time
    MakeFile(src / "beide.txt", "quelle", t);
    const RunResult r = run(profile(BackupSynchronise));
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(ReadFileBytes(dst / "sub/neuer-hier.txt"), "neu");
    EXPECT_EQ(ReadFileBytes(src / "nur-ziel/z.txt"), "z");
    EXPECT_EQ(ReadFileBytes(dst / "gleich.txt"), "ziel!!"); // equal times copy nothing
    EXPECT_EQ(ReadFileBytes(src / "gleich.txt"), "quelle");
    EXPECT_EQ(ReadFileBytes(dst / "nur-quelle.txt"), "q");
    EXPECT_EQ(ReadFileBytes(dst / "beide.txt"), "ziel");
    EXPECT_EQ(ReadFileBytes(src / "beide.txt"), "quelle");
    EXPECT_EQ(r.filesDone, 3);
    EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(), "synchronis. von nur-ziel/z.txt"), r.logLines.end());

    TProfile two = profile(BackupSynchronise);
    two.Source.push_back(src.string());
    EXPECT_EQ(run(two).filesDone, 0); // synchronisation takes exactly one source
}

TEST_F(BackupRunTest, MoveAndDelete)
{
    MakeFile(src / "a.txt", "1");
    MakeFile(src / "sub/b.txt", "2");
    RunResult r = run(profile(BackupMove));
    EXPECT_EQ(TreeOf(dst), (Tree{"a.txt", "sub/", "sub/b.txt"}));
    EXPECT_EQ(TreeOf(src), (Tree{"sub/"}));
    EXPECT_EQ(body(r), (std::vector<std::string>{"Verschoben :sub/b.txt", "Verschoben :a.txt"}));

    TProfile del = profile(BackupDelete);
    del.Source = {dst.string()};
    del.Destination = (dir / "nirgends").string();
    r = run(del);
    EXPECT_EQ(TreeOf(dst), (Tree{"sub/"}));
    EXPECT_EQ(body(r), (std::vector<std::string>{"gelöscht : sub/b.txt", "gelöscht : a.txt"}));
    EXPECT_EQ(r.filesDone, 2);
}

TEST_F(BackupRunTest, MovingALinkMovesTheLinkNotTheFileItNames)
{
    MakeFile(dir / "woanders/c.txt", "Inhalt");
    std::filesystem::create_symlink("../woanders/c.txt", src / "link.txt");
    const RunResult r = run(profile(BackupMove));
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(std::filesystem::read_symlink(dst / "link.txt"), "../woanders/c.txt");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(src / "link.txt")));
    EXPECT_EQ(ReadFileBytes(dir / "woanders/c.txt"), "Inhalt"); // the file itself stays where it is
}

TEST_F(BackupRunTest, DeleteIntoTheTrash)
{
    TempDir home;
    ::setenv("XDG_DATA_HOME", (home / "fresh/share").c_str(), 1);
    MakeFile(src / "weg.txt", "1");
    TProfile p = profile(BackupDelete);
    p.RecycleBin = true;
    const RunResult r = run(p);
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    EXPECT_FALSE(std::filesystem::exists(src / "weg.txt"));
    EXPECT_EQ(ReadFileBytes(home / "fresh/share/Trash/files/weg.txt"), "1");
    EXPECT_NE(ReadFileBytes(home / "fresh/share/Trash/info/weg.txt.trashinfo").find("Path="), std::string::npos);
    EXPECT_EQ(body(r), (std::vector<std::string>{"Löschen in Papierkorb : weg.txt"}));
}

TEST_F(BackupRunTest, Generations)
{
    TProfile p = profile(BackupFull);
    p.Generations = 3;
    for (const char* version : {"1", "2", "3", "4"}) {
        MakeFile(src / "sub/f.txt", version);
        ASSERT_EQ(run(p).errorCount, 0);
    }
    EXPECT_EQ(ReadFileBytes(dst / "sub/f.txt"), "4");
    EXPECT_EQ(ReadFileBytes(dst / "Generation.1/sub/f.txt"), "3");
    EXPECT_EQ(ReadFileBytes(dst / "Generation.2/sub/f.txt"), "2");
    EXPECT_EQ(ReadFileBytes(dst / "Generation.3/sub/f.txt"), "1");
    MakeFile(src / "sub/f.txt", "5");
    run(p);
    EXPECT_EQ(ReadFileBytes(dst / "Generation.3/sub/f.txt"), "2");
    EXPECT_FALSE(std::filesystem::exists(dst / "Generation.4"));

    p.Generations = 1;
    std::filesystem::remove_all(dst);
    run(p);
    run(p);
    EXPECT_EQ(TreeOf(dst), (Tree{"sub/", "sub/f.txt"}));
}

TEST_F(BackupRunTest, AFailedVerificationIsAnErrorAndKeepsTheArchiveBit)
{
    MakeFile(src / "gut.txt", "in Ordnung");
    MakeFile(src / "schlecht.txt", "wird beschädigt");
    fs.damage = "schlecht.txt";
    TProfile p = profile(BackupIncremental);
    p.Verify = true;
    p.VerifyBit = false;
    RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 0); // the size alone cannot see it

    p.VerifyBit = true;
    r = run(profile(BackupFull));
    MakeFile(src / "schlecht.txt", "wird beschädigt!");
    MakeFile(src / "gut.txt", "in Ordnung!");
    r = run(p);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(r.filesDone, 1);
    EXPECT_EQ(body(r), (std::vector<std::string>{"gut.txt", "!!! Fehler    : copying schlecht.txt (Verifizierung "
                                                            "fehlgeschlagen)"}));
    fs.damage.clear();
    r = run(p); // taken again: its bit was never cleared
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(body(r), (std::vector<std::string>{"schlecht.txt"}));
}

TEST_F(BackupRunTest, TheDestinationInsideTheSourceIsNeverWalked)
{
    MakeFile(src / "a.txt", "1");
    TProfile p = profile(BackupFull);
    p.Destination = (src / "sicherung").string();
    p.Generations = 2;
    run(p);
    run(p);
    EXPECT_EQ(TreeOf(src / "sicherung"), (Tree{"Generation.1/", "Generation.1/a.txt", "a.txt"}));

    TProfile move = profile(BackupMove);
    move.Destination = (src / "sicherung").string();
    EXPECT_EQ(run(move).errorCount, 0);
    EXPECT_EQ(TreeOf(src),
              (Tree{"sicherung/", "sicherung/Generation.1/", "sicherung/Generation.1/a.txt", "sicherung/a.txt"}));
}

TEST_F(BackupRunTest, EmptyingTheDestination)
{
    MakeFile(src / "a.txt", "1");
    MakeFile(dst / "Generation.1/alt.txt", "x");
    MakeFile(dst / "alt/alt.txt", "x");
    MakeFile(dst / ".hidden/alt.txt", "x"); // a run that takes hidden folders leaves them here
    TProfile p = profile(BackupFull);
    p.DestErase = true;
    run(p);
    EXPECT_EQ(TreeOf(dst), (Tree{"a.txt"}));

    // A destination that holds the source is never emptied.
    TProfile around = profile(BackupFull);
    around.DestErase = true;
    around.Destination = dir.path().string();
    const RunResult r = run(around);
    EXPECT_TRUE(std::filesystem::exists(src / "a.txt"));
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(body(r).front(), "!!! Fehler    : Ziel " + dir.path().string() +
                                   "/ wird nicht geleert: enthält die Quelle " + src.string() + "/");
    FileSystem& plain = fs;
    EXPECT_EQ(RefusalToErase(plain, "/", {}, "", ""), "Wurzel eines Dateisystems");
    EXPECT_EQ(RefusalToErase(plain, "/home/anna/", {}, "/home/anna", ""), "Benutzerordner");
}

TEST_F(BackupRunTest, WrongMediumAndCancel)
{
    MakeFile(src / "a.txt", "1");
    TProfile p = profile(BackupFull);
    p.CheckDestname = true;
    p.DestName = "SICHERUNG";
    RunResult r = run(p);
    EXPECT_EQ(observer.checkDestQuestions, (std::vector<std::string>{dst.string() + "/|SICHERUNG"}));
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_FALSE(std::filesystem::exists(dst / "a.txt"));
    EXPECT_EQ(r.logLines[12], "============================================================");
    EXPECT_EQ(r.logLines[13], "!!! Fehler    : falscher Medienname  oder  Abbruch durch Benutzer");
    EXPECT_EQ(r.logLines[14], "------------------------------------------------------------");

    observer.checkDestAnswers = {true};
    EXPECT_EQ(run(p).filesDone, 1);
}

// A run that prints a folder's status hands control back; the test cancels there.
class CancellingObserver final : public RunObserver
{
public:
    RecordingObserver& inner;
    RunControl& control;
    std::string cancelAt;
    CancellingObserver(RecordingObserver& o, RunControl& c, std::string at) : inner(o), control(c), cancelAt(at) {}
    void ShowScanStatus(ScanPhase phase, const std::string& folder) override
    {
        if (phase == ScanPhase::Processing && folder == cancelAt)
            control.abortRequested = true;
        inner.ShowScanStatus(phase, folder);
    }
    void ResetProgress() override { inner.ResetProgress(); }
    void SetFilesToDo(std::int64_t n) override { inner.SetFilesToDo(n); }
    void ShowProgress(std::int64_t d, std::int64_t b) override { inner.ShowProgress(d, b); }
    bool CheckDest(const std::string& d, const std::string& n) override { return inner.CheckDest(d, n); }
    bool NextDisk(int n, int t, const std::string& d) override { return inner.NextDisk(n, t, d); }
};

TEST_F(BackupRunTest, UserAbort)
{
    for (int i = 0; i < 10; ++i) {
        MakeFile(src / "a" / ("f" + std::to_string(i) + ".txt"), "x");
        MakeFile(src / "b" / ("f" + std::to_string(i) + ".txt"), "x");
    }
    BackupJob job;
    job.profile = profile(BackupFull);
    ArchiveStateCatalogue catalogue(dir / "archive-state.db");
    std::string at = (src / "b/").string();
    std::transform(at.begin(), at.end(), at.begin(), [](unsigned char c) { return std::tolower(c); });
    CancellingObserver cancelling(observer, control, at);
    const RunResult r = BackupRun(job, platform, fs, catalogue, cancelling, control).Run();
    EXPECT_EQ(r.filesDone, 10); // the first folder's copies complete, the second's never begin
    EXPECT_EQ(TreeOf(dst).size(), 11u);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(body(r).back(), "!!! Fehler    : Abbruch durch Benutzer");
    EXPECT_EQ(r.logLines.back(), "");
}

TEST_F(BackupRunTest, ACancelStopsALargeCopyHalfWayAndLeavesNoPartOfIt)
{
    // Two GiB, allocated (a sparse file would be copied in no time): written in pieces, the
    // cancel finds it half way.
    {
        const int fd = ::open((src / "gross.bin").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(::posix_fallocate(fd, 0, off_t{2} << 30), 0);
        ::close(fd);
    }
    std::thread canceller;
    std::string at = src.string() + "/";
    std::transform(at.begin(), at.end(), at.begin(), [](unsigned char c) { return std::tolower(c); });
    BackupJob job;
    job.profile = profile(BackupFull);
    job.logError = true;
    job.logProfile = false;
    ArchiveStateCatalogue catalogue(dir / "archive-state.db");
    struct DelayedCancel final : public RunObserver
    {
        RecordingObserver& inner;
        RunControl& control;
        std::string folder;
        std::thread& thread;
        DelayedCancel(RecordingObserver& o, RunControl& c, std::string f, std::thread& t)
            : inner(o), control(c), folder(std::move(f)), thread(t)
        {
        }
        void ShowScanStatus(ScanPhase phase, const std::string& f) override
        {
            if (phase == ScanPhase::Processing && f == folder && !thread.joinable())
                thread = std::thread([this] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    control.abortRequested = true;
                });
        }
        void ResetProgress() override {}
        void SetFilesToDo(std::int64_t) override {}
        void ShowProgress(std::int64_t, std::int64_t) override {}
        bool CheckDest(const std::string&, const std::string&) override { return true; }
        bool NextDisk(int, int, const std::string&) override { return false; }
    } delayed(observer, control, at, canceller);
    const RunResult r = BackupRun(job, platform, fs, catalogue, delayed, control).Run();
    canceller.join();
    EXPECT_EQ(body(r), (std::vector<std::string>{"!!! Fehler    : Abbruch durch Benutzer"}));
    // Either the copy is whole (a file system that clones at once) or there is none.
    if (std::filesystem::exists(dst / "gross.bin")) {
        EXPECT_EQ(std::filesystem::file_size(dst / "gross.bin"), std::uintmax_t{2} << 30);
    }
    EXPECT_EQ(TreeOf(dst).size(), std::filesystem::exists(dst / "gross.bin") ? 1u : 0u);
}

TEST_F(BackupRunTest, FailedCopiesAreCountedAndTheRunGoesOn)
{
    MakeFile(src / "a.txt", "1");
    MakeFile(src / "b.txt", "2");
    std::filesystem::create_directories(dst / "a.txt"); // a folder stands where the copy goes
    logAll = false;
    const RunResult r = run(profile(BackupFull));
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(r.filesDone, 1);
    ASSERT_EQ(body(r).size(), 1u);
    EXPECT_EQ(body(r)[0].rfind("!!! Fehler    : copying a.txt (", 0), 0u) << body(r)[0];
    logError = false;
    EXPECT_TRUE(body(run(profile(BackupFull))).empty());
}

TEST_F(BackupRunTest, CompressingRunsWriteOneArchive)
{
    MakeFile(src / "a.txt", std::string(20'000, 'a'));
    MakeFile(src / "sub/b.txt", "welt");
    MakeFile(src / "bild.png", std::string(5'000, 'p'));
    MakeFile(src / "zufall.dat", Noise(5'000));
    TProfile p = profile(BackupFull);
    p.Compress = true;
    p.Zipfile = "Daten-$dayname.zip";
    std::int64_t mostBytes = 0;
    observer.onProgress = [&] { mostBytes = std::max(mostBytes, observer.bytesDone); };
    RunResult r = run(p);
    observer.onProgress = nullptr;
    const std::filesystem::path archive = dst / "daten-sonntag.zip";
    // Progress while adding: each file's folder, the bytes read; at the end a full bar and the
    // counters at zero.
    EXPECT_NE(std::find(observer.statuses.begin(), observer.statuses.end(),
                        std::make_pair(ScanPhase::Processing, LowerCaseAscii(src.string()) + "/sub/")),
              observer.statuses.end());
    EXPECT_EQ(mostBytes, r.bytesDone);
    EXPECT_EQ(observer.filesDone, 4);
    EXPECT_EQ(observer.bytesDone, 0);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    EXPECT_TRUE(RunShell("unzip -tq " + archive.string()).first);
    EXPECT_EQ(RunShell("unzip -Z1 " + archive.string()).second, "sub/b.txt\na.txt\nbild.png\nzufall.dat\n");
    // The png by its suffix; the noise and the tiny text because deflating does not shrink them.
    EXPECT_EQ(RunShell("unzip -Zs " + archive.string() + " | grep -c ' stor '").second, "3\n");
    EXPECT_EQ(RunShell("unzip -p " + archive.string() + " sub/b.txt").second, "welt");
    EXPECT_EQ(r.filesDone, 4);
    EXPECT_GT(r.compressionRate, 50);
    EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(), "Verzeichn. durchsucht : 0"), r.logLines.end());
    EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(),
                        "Komprimierungsrate    : " + std::to_string(r.compressionRate) + "%"),
              r.logLines.end());
    EXPECT_EQ(TreeOf(dst), (Tree{"daten-sonntag.zip"}));

    // An incremental run without CompDel adds the changed file and keeps the others.
    std::filesystem::remove(src / "bild.png");
    MakeFile(src / "sub/b.txt", "neu!");
    TProfile incremental = p;
    incremental.Backuptype = BackupIncremental;
    r = run(incremental);
    EXPECT_EQ(r.filesDone, 1);
    EXPECT_EQ(RunShell("unzip -Z1 " + archive.string()).second, "sub/b.txt\na.txt\nbild.png\nzufall.dat\n");
    EXPECT_EQ(RunShell("unzip -p " + archive.string() + " sub/b.txt").second, "neu!");
    // A full run builds the archive anew.
    run(p);
    EXPECT_EQ(RunShell("unzip -Z1 " + archive.string()).second, "sub/b.txt\na.txt\nzufall.dat\n"); // walk order
}

TEST_F(BackupRunTest, EncryptedArchivesOpenWithThePassword)
{
    MakeFile(src / "geheim.txt", "vertraulich");
    TProfile p = profile(BackupFull);
    p.Compress = true;
    p.Zipfile = "x.zip";
    p.Encrypt = true;
    p.Password = "Kennwort";
    ASSERT_EQ(run(p).errorCount, 0);
    const std::string archive = (dst / "x.zip").string();
    EXPECT_EQ(RunShell("unzip -P Kennwort -p " + archive + " geheim.txt").second, "vertraulich");
    EXPECT_FALSE(RunShell("unzip -P falsch -t " + archive).first);
    EXPECT_TRUE(RunShell("7z t -pKennwort " + archive).first);
}

TEST_F(BackupRunTest, SplitArchivesSpreadOverVolumesThatSevenZipReads)
{
    const std::string noise = Noise(300'000);
    MakeFile(src / "gross.bin", noise);
    MakeFile(src / "sub/klein.txt", std::string(50'000, 'k'));
    MakeFile(dst / "teil.z09", "von einem früheren Lauf");
    TProfile p = profile(BackupIncremental); // a split archive is written anew whatever the type
    p.Compress = true;
    p.Zipfile = "Teil.zip";
    p.DiskSpan = true;
    p.MaxVolumeSize = 65536;
    p.Encrypt = true;
    p.Password = "Kennwort";
    p.TempDir = true;
    p.TempDirName = (dir / "tmp").string();
    std::filesystem::create_directories(dir / "tmp");
    const RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    // The noise cannot shrink: it spans five volumes of 64 KiB.
    EXPECT_EQ(TreeOf(dst), (Tree{"teil.z01", "teil.z02", "teil.z03", "teil.z04", "teil.zip"}));
    for (const std::string& volume : TreeOf(dst))
        EXPECT_LE(std::filesystem::file_size(dst / volume), 65536u) << volume;
    EXPECT_TRUE(TreeOf(dir / "tmp").empty());
    EXPECT_TRUE(observer.diskQuestions.empty());
    EXPECT_TRUE(RunShell("7z t -pKennwort " + (dst / "teil.zip").string()).first);
    const auto out = dir / "ausgepackt";
    ASSERT_TRUE(RunShell("7z x -pKennwort -o" + out.string() + " " + (dst / "teil.zip").string()).first);
    EXPECT_EQ(ReadFileBytes(out / "gross.bin"), noise);
    EXPECT_EQ(ReadFileBytes(out / "sub/klein.txt"), std::string(50'000, 'k'));
    for (const std::string& line : r.logLines)
        EXPECT_EQ(line.rfind("Komprimierungsrate", 0), std::string::npos);

    // An empty selection writes no archive at all, and no ZIP lines.
    TProfile empty = profile(BackupFull);
    empty.Compress = true;
    empty.Zipfile = "y.zip";
    empty.Addfiles = "*.nichts;";
    const RunResult none = run(empty);
    EXPECT_EQ(none.errorCount, 0);
    EXPECT_TRUE(body(none).empty());
    EXPECT_FALSE(std::filesystem::exists(dst / "y.zip"));
}

TEST_F(BackupRunTest, AFullMediumAsksForTheNextOne)
{
    const std::string noise = Noise(200'000);
    MakeFile(src / "gross.bin", noise);
    MakeFile(dst / "alt.txt", "vom letzten Mal");
    TProfile p = profile(BackupFull);
    p.Compress = true;
    p.Zipfile = "teil.zip";
    p.DiskSpan = true;
    p.DiskSpanFormat = true;
    p.TempDir = true;
    p.TempDirName = (dir / "tmp").string();
    std::filesystem::create_directories(dir / "tmp");
    fs.medium = dst;
    fs.mediumCapacity = 64 * 1024 + 90'000; // room for 90,000 bytes a medium
    // The user takes the full medium out and puts in one that holds an old file.
    someoneToAsk = true;
    observer.onNextDisk = [this](int number) {
        std::filesystem::rename(dst, dir / ("medium" + std::to_string(number - 1)));
        MakeFile(dst / "alt.txt", "vom letzten Mal");
        return true;
    };
    RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    EXPECT_EQ(observer.diskQuestions, (std::vector<std::string>{"2/0 /", "3/0 /"}));
    // Each medium was emptied first and holds what fitted.
    EXPECT_EQ(TreeOf(dir / "medium1"), (Tree{"teil.z01"}));
    EXPECT_EQ(TreeOf(dir / "medium2"), (Tree{"teil.z02"}));
    EXPECT_EQ(TreeOf(dst), (Tree{"teil.zip"}));
    const auto together = dir / "zusammen";
    std::filesystem::create_directories(together);
    for (const auto& from : {dir / "medium1/teil.z01", dir / "medium2/teil.z02", dst / "teil.zip"})
        std::filesystem::copy_file(from, together / from.filename());
    ASSERT_TRUE(RunShell("7z x -o" + (dir / "aus").string() + " " + (together / "teil.zip").string()).first);
    EXPECT_EQ(ReadFileBytes(dir / "aus/gross.bin"), noise);

    // Cancelling the question ends the archive with the line of a cancelled run and leaves no
    // part of it on the medium.
    std::filesystem::remove_all(dst);
    std::filesystem::create_directories(dst);
    observer.onNextDisk = nullptr;
    r = run(p);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(body(r).back(), "!!! ZIP-Error : Abbruch durch Benutzer (99)");
    EXPECT_TRUE(TreeOf(dst).empty());
}

TEST_F(BackupRunTest, OldVolumesGoOnlyWhenTheNewSetIsComplete)
{
    MakeFile(src / "gross.bin", Noise(200'000));
    TProfile p = profile(BackupFull);
    p.Compress = true;
    p.Zipfile = "teil.zip";
    p.DiskSpan = true;
    p.MaxVolumeSize = 65536;
    p.TempDir = true;
    p.TempDirName = (dir / "tmp").string();
    std::filesystem::create_directories(dir / "tmp");
    fs.medium = dst;
    fs.mediumCapacity = 10'000'000; // room for the old set and the new one
    ASSERT_EQ(run(p).errorCount, 0);
    std::map<std::string, std::string> old;
    for (const std::string& volume : TreeOf(dst))
        old[volume] = ReadFileBytes(dst / volume);
    ASSERT_EQ(old.size(), 4u);

    // A run that stops in the middle of the new set leaves the old one as it was.
    MakeFile(src / "gross.bin", Noise(200'000, 2));
    int volumesBegun = 0;
    fs.onFreeSpace = [&] {
        if (++volumesBegun == 3)
            control.abortRequested = true;
    };
    RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(body(r).back(), "!!! ZIP-Error : Abbruch durch Benutzer (99)");
    std::map<std::string, std::string> after;
    for (const std::string& volume : TreeOf(dst))
        after[volume] = ReadFileBytes(dst / volume);
    EXPECT_EQ(after, old); // no new volume, no private folder left behind

    // Complete, the new set takes the old one's place.
    fs.onFreeSpace = nullptr;
    control.abortRequested = false;
    r = run(p);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(body(r));
    EXPECT_EQ(TreeOf(dst).size(), 4u);
    EXPECT_NE(ReadFileBytes(dst / "teil.zip"), old["teil.zip"]);
    EXPECT_TRUE(RunShell("7z t " + (dst / "teil.zip").string()).first);

    // Without room for both, and nobody to put in another medium, the old set stays.
    fs.mediumCapacity = 350'000;
    std::map<std::string, std::string> complete;
    for (const std::string& volume : TreeOf(dst))
        complete[volume] = ReadFileBytes(dst / volume);
    MakeFile(src / "gross.bin", Noise(200'000, 3));
    r = run(p);
    EXPECT_EQ(body(r).back(), "!!! ZIP-Error : Das Medium hat keinen Platz für die alten und die neuen Teile von "
                              "teil.zip; die alten bleiben, da niemand ein weiteres Medium einlegen kann (1)");
    after.clear();
    for (const std::string& volume : TreeOf(dst))
        after[volume] = ReadFileBytes(dst / volume);
    EXPECT_EQ(after, complete);

    // With someone there, the report says so before the old volumes go.
    someoneToAsk = true;
    r = run(p);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(body(r));
    const std::vector<std::string> lines = body(r);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Hinweis: Das Medium hat keinen Platz für die alten und die neuen Teile von teil.zip; die "
                        "alten werden vorher entfernt."),
              lines.end());
    EXPECT_TRUE(RunShell("7z t " + (dst / "teil.zip").string()).first);
}

TEST_F(BackupRunTest, MediaAreNotEmptiedWhereThatWouldDestroyTheSources)
{
    MakeFile(src / "a.txt", "1");
    TProfile p = profile(BackupFull);
    p.Destination = dir.path().string(); // holds the source
    p.Compress = true;
    p.Zipfile = "x.zip";
    p.DiskSpan = true;
    p.DiskSpanFormat = true;
    const RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(body(r).back(), "!!! ZIP-Error : Ziel " + dir.path().string() +
                                  "/ wird nicht geleert: enthält die Quelle " + src.string() + "/ (1)");
    EXPECT_TRUE(std::filesystem::exists(src / "a.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x.zip"));
}

TEST_F(BackupRunTest, ACancelledArchiveLeavesThePreviousOne)
{
    MakeFile(src / "a.txt", std::string(100'000, 'a'));
    MakeFile(src / "b.txt", std::string(100'000, 'b'));
    TProfile p = profile(BackupFull);
    p.Compress = true;
    p.Zipfile = "x.zip";
    ASSERT_EQ(run(p).errorCount, 0);
    const std::string before = ReadFileBytes(dst / "x.zip");
    MakeFile(src / "c.txt", "neu");
    observer.onProgress = [this] {
        if (observer.filesDone == 2)
            control.abortRequested = true;
    };
    const RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(body(r).back(), "!!! ZIP-Error : Abbruch durch Benutzer (99)");
    EXPECT_EQ(ReadFileBytes(dst / "x.zip"), before);
    EXPECT_EQ(TreeOf(dst), (Tree{"x.zip"}));
}

TEST_F(BackupRunTest, ARunOnItsOwnThreadHandsItsReportToTheCompletion)
{
    MakeFile(src / "a.txt", "1");
    BackupJob job;
    job.profile = profile(BackupFull);
    ArchiveStateCatalogue catalogue(dir / "archive-state.db");
    std::promise<std::pair<RunResult, std::thread::id>> finished;
    {
        BackupThread thread(std::make_unique<BackupRun>(job, platform, fs, catalogue, observer, control),
                            [&finished](RunResult result) {
                                finished.set_value({std::move(result), std::this_thread::get_id()});
                            });
    }
    auto [result, worker] = finished.get_future().get();
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_EQ(result.filesDone, 1);
    EXPECT_EQ(result.logLines.back(), "");
}

} // namespace
