// The real program backs a tree up, the tree changes, and `tresorio --restore` brings it back:
// byte for byte, with times, modes and links, judged by rsync. One row per kind of destination.

#include "ProgramProcess.h"
#include "profiles/Scramble.h"
#include "support/FtpServer.h"
#include "support/Shell.h"
#include "support/TempDir.h"
#include "support/TestMount.h"
#include "support/TreeBuilder.h"

#include <QProcess>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr std::int64_t Year2021 = 1609502400; // 01.01.2021 12:00 UTC
constexpr std::int64_t Year2022 = 1641038400; // 01.01.2022 12:00 UTC

const std::string LongName = std::string(251, 'l') + ".txt";
const std::string ForeignName = "na\xff\xfeme.bin"; // not UTF-8

class RestoreTest : public ::testing::Test
{
protected:
    TempDir home;
    std::filesystem::path data = home / "daten";
    std::filesystem::path src = home / "quelle";
    std::filesystem::path dst = home / "ziel";
    std::filesystem::path snapshot = home / "vorher";

    RestoreTest()
    {
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(home / "run");
    }

    void writeProfile(const std::string& name, const std::string& keys, const std::string& destination = {})
    {
        WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[" + name + "]\r\nSource=" + src.string() +
                                                "/\r\nWithsub=1\r\nWithempty=1\r\nDestination=" +
                                                (destination.empty() ? dst.string() + "/" : destination) +
                                                "\r\nPeriod=1\r\n" + keys);
    }

    static void shell(const std::string& command)
    {
        const auto [ok, said] = RunShell(command);
        ASSERT_TRUE(ok) << command << "\n" << said;
    }

    // A tree with odd names, an empty folder, a link and modes of its own, every time to the
    // second (what an archive keeps), written as version seconds.
    void makeTree(std::int64_t seconds, const std::string& version)
    {
        MakeFile(src / "a.txt", "a " + version, seconds);
        MakeFile(src / "mit blank" / "datei mit blank.txt", "blank " + version, seconds);
        MakeFile(src / "tief" / LongName, "lang " + version, seconds);
        MakeFile(src / "tief" / ForeignName, Noise(70'000, 3) + version, seconds);
        MakeFile(src / "weg.txt", "wird gelöscht", seconds);
        std::filesystem::create_directories(src / "leer");
        const std::string s = src.string();
        shell("chmod 0640 '" + s + "/a.txt' && chmod 0600 '" + s + "/tief/" + LongName + "'");
        if (!std::filesystem::is_symlink(src / "verweis"))
            shell("ln -s a.txt '" + s + "/verweis'");
        const std::string at = "@" + std::to_string(seconds);
        shell("touch -h -d " + at + " '" + s + "/verweis' && touch -d " + at + " '" + s + "/leer' '" + s +
              "/mit blank' '" + s + "/tief' '" + s + "'");
    }

    // A fresh tree of version 1, backed up by a new profile.
    void backedUpTree(const std::string& name, const std::string& keys)
    {
        std::filesystem::remove_all(src);
        std::filesystem::remove_all(dst);
        std::filesystem::remove_all(snapshot);
        writeProfile(name, keys);
        makeTree(Year2021, "1");
        backUp(QString::fromStdString(name));
    }

    Outcome tresorio(const QStringList& arguments, bool asNobody = false)
    {
        return runTresorio(QStringList{"--data-dir", q(data)} + arguments, home.path(), asNobody);
    }

    void backUp(const QString& profile)
    {
        const Outcome o = tresorio({profile});
        ASSERT_EQ(o.exitCode, 0) << o.err << ReadFileBytes(data / "Backup.log");
    }

    // What the user does after the backup: changes one file, deletes another.
    void changeTree()
    {
        shell("cp -a '" + src.string() + "/.' '" + snapshot.string() + "'");
        MakeFile(src / "a.txt", "geändert", Year2022 + 500);
        std::filesystem::remove(src / "weg.txt");
    }

    // rsync's itemized differences between what was backed up and what came back.
    std::string differences(const std::filesystem::path& restored, bool folderTimes = true)
    {
        return RunShell("rsync -aHAXS --dry-run --itemize-changes " +
                        std::string(folderTimes ? "" : "--omit-dir-times ") + "'" + snapshot.string() + "/' '" +
                        restored.string() + "/'")
            .second;
    }

    std::vector<std::string> leftovers(const std::filesystem::path& root)
    {
        std::vector<std::string> names;
        for (const std::string& name : TreeOf(root))
            if (name.find("tresorio-") != std::string::npos)
                names.push_back(name);
        return names;
    }
};

struct Kind
{
    const char* name;
    std::string keys;
    bool archive; // keeps no folders of its own: no empty folder, no folder times
};

TEST_F(RestoreTest, EveryKindOfDestinationGivesTheTreeBack)
{
    const std::vector<Kind> kinds = {
        {"Vollsicherung", "Backuptype=1\r\n", false},
        {"Inkrementell", "Backuptype=2\r\n", false},
        {"Differenziell", "Backuptype=5\r\n", false},
        {"Generationen", "Backuptype=1\r\nGenerations=3\r\n", false},
        {"Synchronisieren", "Backuptype=6\r\n", false},
        {"ZIP", "Backuptype=1\r\nCompress=1\r\nZipfile=daten.zip\r\n", true},
        {"ZIP mit Kennwort",
         "Backuptype=1\r\nCompress=1\r\nZipfile=daten.zip\r\nEncrypt=1\r\nPassword=" + EncodeZipPassword("Geheim 1!") +
             "\r\n",
         true},
        {"ZIP geteilt", "Backuptype=1\r\nCompress=1\r\nZipfile=teil.zip\r\nDiskSpan=1\r\nMaxVolumeSize=70000\r\n",
         true},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        backedUpTree(kind.name, kind.keys);
        changeTree();
        if (kind.archive)
            std::filesystem::remove(snapshot / "leer");
        ASSERT_NE(differences(src, !kind.archive), "");
        const Outcome o = tresorio({"--restore", kind.name, "--conflict", "replace"});
        const std::string log = ReadFileBytes(data / "Backup.log");
        EXPECT_EQ(o.exitCode, 0) << o.err << log;
        EXPECT_EQ(differences(src, !kind.archive), "") << log;
        EXPECT_EQ(leftovers(src), std::vector<std::string>{});
        EXPECT_NE(log.find("Wiederherstellung\r\n"), std::string::npos);
    }
    // The split archive really was split.
    EXPECT_TRUE(std::filesystem::exists(dst / "teil.z01"));
}

TEST_F(RestoreTest, AnFtpServerGivesTheTreeBackWithWhatItsNotesKept)
{
    // The server keeps only names and bytes: the links, modes and exact times come back from
    // the .tresorio-metadaten the run sent along.
    FtpServer server(home / "server", home / "befehle.log");
    ASSERT_GT(server.port(), 0);
    std::mt19937 random(7);
    writeProfile(
        "FTP",
        "Backuptype=1\r\nFTP=1\r\nFTPPassive=1\r\nFTPMode=2\r\nFTPServer=127.0.0.1:" + std::to_string(server.port()) +
            "\r\nNetUser=" + EncodeLogonField(FtpServer::User, LogonKind::User, random) +
            "\r\nNetPasswd=" + EncodeLogonField(FtpServer::Password, LogonKind::Password, random) + "\r\n",
        "/"); // the profile's remote folder: the server's root
    makeTree(Year2021, "1");
    std::filesystem::remove(src / "tief" / ForeignName); // the server stores names as UTF-8
    backUp("FTP");
    changeTree();
    const auto restored = home / "zurück";
    const Outcome listed = tresorio({"--list-backup", "FTP"});
    EXPECT_NE(listed.out.find((src / "mit blank" / "datei mit blank.txt").string() + "\t"), std::string::npos)
        << listed.out << listed.err;
    const Outcome o = tresorio({"--restore", "FTP", "--to", q(restored)});
    EXPECT_EQ(o.exitCode, 0) << o.err << ReadFileBytes(data / "Backup.log");
    EXPECT_EQ(differences(restored, false), "");
    const Outcome checked = tresorio({"--check", "FTP"});
    EXPECT_EQ(checked.exitCode, 0) << checked.err << ReadFileBytes(data / "Backup.log");
}

TEST_F(RestoreTest, AStopWhileTheServerIsWaitedForEndsWithItsReport)
{
    // SIGTERM (or Ctrl+C) cancels a restore as the stop of a run does: it ends between two files
    // or inside a download, writes its report, and leaves no file under a real name half written.
    std::mt19937 random(7);
    const std::string logon = "\r\nNetUser=" + EncodeLogonField(FtpServer::User, LogonKind::User, random) +
                              "\r\nNetPasswd=" + EncodeLogonField(FtpServer::Password, LogonKind::Password, random);
    const auto profile = [&](int port) {
        writeProfile("FTP",
                     "Backuptype=1\r\nFTP=1\r\nFTPPassive=1\r\nFTPMode=2\r\nFTPServer=127.0.0.1:" +
                         std::to_string(port) + logon + "\r\n",
                     "/");
    };
    makeTree(Year2021, "1");
    std::filesystem::remove(src / "tief" / ForeignName);
    const auto restored = home / "zurück";
    {
        FtpServer server(home / "server", home / "befehle.log");
        profile(server.port());
        backUp("FTP");
    }
    {
        // The server holds back its answer to every download.
        FtpServer slow(home / "server", home / "langsam.log", {"late=20:RETR"});
        profile(slow.port());
        QProcess process;
        process.setProcessEnvironment(environmentFor(home.path()));
        process.start(TRESORIO_EXECUTABLE, {"--data-dir", q(data), "--restore", "FTP", "--to", q(restored)});
        ASSERT_TRUE(waitFor([&slow] {
            const auto commands = slow.commands();
            return std::any_of(commands.begin(), commands.end(),
                               [](const std::string& c) { return c.rfind("RETR ", 0) == 0; });
        }));
        process.terminate();
        ASSERT_TRUE(process.waitForFinished(15000));
        EXPECT_EQ(process.exitCode(), 1);
    }
    const std::string log = ReadFileBytes(data / "Backup.log");
    EXPECT_NE(log.find("Wiederherstellung\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("!!! Fehler    : Abbruch durch Benutzer"), std::string::npos) << log;
    for (const std::string& name : TreeOf(restored))
        EXPECT_TRUE(name.back() == '/' || name.find("tresorio-") != std::string::npos) << name;
    // The next restore brings everything and clears what the stopped one left.
    FtpServer server(home / "server", home / "befehle.log");
    profile(server.port());
    shell("cp -a '" + src.string() + "/.' '" + snapshot.string() + "'");
    const Outcome o = tresorio({"--restore", "FTP", "--to", q(restored)});
    EXPECT_EQ(o.exitCode, 0) << o.err << ReadFileBytes(data / "Backup.log");
    EXPECT_EQ(differences(restored, false), "");
    EXPECT_EQ(leftovers(restored), std::vector<std::string>{});
}

TEST_F(RestoreTest, AMediumThatKeepsNoMetadataGivesItBackFromItsNotes)
{
    // An exFAT stick keeps no modes, owners, links, FIFOs or attributes: .tresorio-metadaten
    // beside the copies does, and the restore gives them back from there.
    std::filesystem::create_directories(dst);
    auto stick = TestMount::StickImage(TestMount::Stick::Exfat, home / "stick.img", dst);
    if (!stick)
        GTEST_SKIP() << "no exFAT through FUSE here";
    writeProfile("Stick", "Backuptype=1\r\n");
    makeTree(Year2021, "1");
    std::filesystem::remove(src / "tief" / ForeignName); // exFAT names are UTF-16
    const std::string s = src.string();
    shell("mkfifo '" + s + "/rohr' && chown 65534:65534 '" + s + "/a.txt' && chmod 04755 '" + s +
          "/mit blank/datei mit blank.txt' && setfattr -n user.farbe -v rot '" + s + "/tief/" + LongName +
          "' && touch -h -d @" + std::to_string(Year2021) + " '" + s + "/rohr' '" + s + "/mit blank' '" + s + "'");
    backUp("Stick");
    ASSERT_TRUE(std::filesystem::exists(dst / ".tresorio-metadaten"));
    ASSERT_FALSE(std::filesystem::is_symlink(dst / "verweis"));
    shell("cp -a '" + s + "/.' '" + snapshot.string() + "'");
    const auto restored = home / "zurück";
    const Outcome o = tresorio({"--restore", "Stick", "--to", q(restored)});
    EXPECT_EQ(o.exitCode, 0) << o.err << ReadFileBytes(data / "Backup.log");
    EXPECT_EQ(differences(restored), "");
}

TEST_F(RestoreTest, AnOlderStateComesBackByItsDate)
{
    // Generations keep the older versions of a file; dated archives each hold a whole backup.
    struct Case
    {
        const char* name;
        std::string keys;
    };
    const std::vector<Case> cases = {
        {"Generationen", "Backuptype=1\r\nGenerations=3\r\n"},
        {"Datiert", "Backuptype=1\r\nCompress=1\r\nZipfile=daten-$date-$time.zip\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        backedUpTree(c.name, c.keys);
        if (std::string(c.name) == "Datiert") {
            // The archive of an earlier day: its name and time as a run then would have left it.
            std::filesystem::rename(dst / TreeOf(dst).front(), dst / "daten-20210101-1200.zip");
            SetModified(dst / "daten-20210101-1200.zip", Year2021 + 60);
        }
        shell("cp -a '" + src.string() + "/.' '" + snapshot.string() + "'");
        std::filesystem::remove(snapshot / "leer");
        makeTree(Year2022, "2");
        backUp(c.name);

        // The listing shows both versions of a.txt, and at the earlier date only the first.
        const Outcome all = tresorio({"--list-backup", c.name});
        EXPECT_EQ(all.exitCode, 0) << all.err;
        EXPECT_NE(all.out.find((src / "a.txt").string() + "\t3\t01.01.2021"), std::string::npos) << all.out;
        EXPECT_NE(all.out.find((src / "a.txt").string() + "\t3\t01.01.2022"), std::string::npos) << all.out;
        const Outcome then = tresorio({"--list-backup", c.name, "--at", "01.06.2021"});
        EXPECT_EQ(then.out.find("01.01.2022"), std::string::npos) << then.out;

        const auto restored = home / ("zurück " + std::string(c.name));
        const Outcome o = tresorio({"--restore", c.name, "--at", "2021-06-01", "--to", q(restored)});
        EXPECT_EQ(o.exitCode, 0) << o.err << ReadFileBytes(data / "Backup.log");
        EXPECT_EQ(differences(restored, false), "");
        EXPECT_EQ(ReadFileBytes(restored / "a.txt"), "a 1");
        // Before the first backup there is nothing to give back.
        EXPECT_EQ(tresorio({"--restore", c.name, "--at", "01.01.2020", "--to", q(home / "nichts")}).exitCode, 1);
    }
}

TEST_F(RestoreTest, AFileThatDiffersAtTheTargetIsNeverOverwrittenUnasked)
{
    backedUpTree("Konflikt", "Backuptype=1\r\n");
    const auto a = src / "a.txt";
    struct Case
    {
        const char* option; // nothing: the default
        std::string expected;
        bool keptBeside;
        int exitCode; // a file skipped without being asked to is no success
    };
    const std::vector<Case> cases = {
        {nullptr, "neuer", false, 1},
        {"skip", "neuer", false, 0},
        {"keep", "neuer", true, 0},
        {"replace", "a 1", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option == nullptr ? "default" : c.option);
        for (const std::string& name : TreeOf(src))
            if (name.rfind("a (", 0) == 0)
                std::filesystem::remove(src / name);
        MakeFile(a, "neuer", Year2022);
        QStringList arguments = {"--restore", "Konflikt"};
        if (c.option != nullptr)
            arguments << "--conflict" << c.option;
        const Outcome o = tresorio(arguments << q(a));
        EXPECT_EQ(o.exitCode, c.exitCode) << o.err;
        EXPECT_EQ(ReadFileBytes(a), c.expected);
        // Kept both: the backed-up version beside, its name with its date.
        const auto beside = src / "a (2021-01-01 12.00.00).txt";
        EXPECT_EQ(std::filesystem::exists(beside), c.keptBeside) << testing::PrintToString(TreeOf(src));
        if (c.keptBeside) {
            EXPECT_EQ(ReadFileBytes(beside), "a 1");
        }
        const std::string log = ReadFileBytes(data / "Backup.log");
        EXPECT_EQ(log.find("übersprungen (Datei am Ziel ist anders): " + a.string()) != std::string::npos,
                  c.expected == "neuer" && !c.keptBeside)
            << log;
        std::filesystem::remove(data / "Backup.log");
    }
}

TEST_F(RestoreTest, TargetsThatAreMissingOrClosedAreHandled)
{
    backedUpTree("Ziele", "Backuptype=1\r\n");
    shell("cp -a '" + src.string() + "/.' '" + snapshot.string() + "'");
    // A target folder that does not exist yet is made, however deep.
    const auto deep = home / "neu" / "noch tiefer";
    EXPECT_EQ(tresorio({"--restore", "Ziele", "--to", q(deep)}).exitCode, 0);
    EXPECT_EQ(differences(deep), "");

    // A folder the user may not write: nothing is written there, every file is an error of the
    // report and the exit status says that not everything came back.
    const auto closed = home / "zu";
    std::filesystem::create_directories(closed);
    MakeFile(closed / "a.txt", "bleibt");
    shell("chown -R 65534:65534 '" + data.string() + "' '" + dst.string() + "' && chmod 0555 '" + closed.string() +
          "' && chmod 0755 '" + home.path().string() + "'");
    const Outcome o = tresorio({"--restore", "Ziele", "--to", q(closed), "--conflict", "replace"}, true);
    const std::string log = ReadFileBytes(data / "Backup.log");
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_NE(log.find("!!! Fehler    : Wiederherstellen von " + (closed / "a.txt").string()), std::string::npos)
        << log;
    EXPECT_EQ(TreeOf(closed), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(ReadFileBytes(closed / "a.txt"), "bleibt");

    // A path the backup does not hold is no success either.
    const Outcome unknown = tresorio({"--restore", "Ziele", "--to", q(home / "x"), q(src / "gibt es nicht")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("nicht in der Sicherung: " + (src / "gibt es nicht").string()), std::string::npos)
        << unknown.err;
    EXPECT_EQ(tresorio({"--restore", "Unbekannt"}).exitCode, 2);
}

TEST_F(RestoreTest, AKilledRestoreLeavesNoHalfFileAndTheNextOneCompletes)
{
    // Killed at each rename (strace injects SIGKILL): no name of the tree holds anything but a
    // whole file, and the next restore brings the rest and clears what the killed one left.
    for (const char* keys : {"Backuptype=1\r\n", "Backuptype=1\r\nCompress=1\r\nZipfile=daten.zip\r\n"}) {
        SCOPED_TRACE(keys);
        backedUpTree("Abbruch", keys);
        shell("cp -a '" + src.string() + "/.' '" + snapshot.string() + "'");
        std::filesystem::remove(snapshot / "leer");
        for (int n = 1; n <= 5; ++n) {
            const auto target = home / "zurück";
            std::filesystem::remove_all(target);
            const QString inject =
                QString::fromStdString("inject=rename,renameat,renameat2:signal=SIGKILL:when=" + std::to_string(n));
            const Outcome killed =
                runTresorioUnder({"strace", "-f", "-qq", "-o", "/dev/null", "-e", inject},
                                 {"--data-dir", q(data), "--restore", "Abbruch", "--to", q(target)}, home.path());
            if (killed.err.find("strace:") != std::string::npos)
                GTEST_SKIP() << "strace cannot trace here";
            for (const std::string& name : TreeOf(target)) {
                const bool whole = name.back() == '/' || name.find("tresorio-") != std::string::npos ||
                                   std::filesystem::is_symlink(target / name) ||
                                   ReadFileBytes(target / name) == ReadFileBytes(snapshot / name);
                EXPECT_TRUE(whole) << name;
            }
            const Outcome next = tresorio({"--restore", "Abbruch", "--to", q(target)});
            EXPECT_EQ(next.exitCode, 0) << next.err << ReadFileBytes(data / "Backup.log");
            EXPECT_EQ(differences(target, false), "") << n;
            EXPECT_EQ(leftovers(target), std::vector<std::string>{}) << n;
        }
    }
}

TEST_F(RestoreTest, EachOfTwoSourcesComesBackToItsOwnPlace)
{
    // Two sources lie in the destination below their paths from the folder they share.
    const auto second = home / "zweite";
    for (const char* keys : {"Backuptype=1\r\n", "Backuptype=1\r\nCompress=1\r\nZipfile=beide.zip\r\n"}) {
        SCOPED_TRACE(keys);
        std::filesystem::remove_all(src);
        std::filesystem::remove_all(second);
        std::filesystem::remove_all(dst);
        WriteFileBytes(data / "Backup.bpf",
                       "[Signature]\r\n\r\n\r\n[Zwei]\r\nSource=" + src.string() + "/\r\nSource=" + second.string() +
                           "/\r\nWithsub=1\r\nDestination=" + dst.string() + "/\r\nPeriod=1\r\n" + keys);
        MakeFile(src / "a.txt", "erste", Year2021);
        MakeFile(second / "a.txt", "zweite", Year2021);
        MakeFile(second / "unter" / "b.txt", "b", Year2021);
        backUp("Zwei");
        const Outcome listed = tresorio({"--list-backup", "Zwei"});
        EXPECT_NE(listed.out.find((second / "unter" / "b.txt").string() + "\t1\t"), std::string::npos) << listed.out;
        std::filesystem::remove(src / "a.txt");
        std::filesystem::remove_all(second);
        // Only what the path names comes back.
        EXPECT_EQ(tresorio({"--restore", "Zwei", q(second / "unter")}).exitCode, 0);
        EXPECT_EQ(ReadFileBytes(second / "unter" / "b.txt"), "b");
        EXPECT_FALSE(std::filesystem::exists(second / "a.txt"));
        EXPECT_FALSE(std::filesystem::exists(src / "a.txt"));
        EXPECT_EQ(tresorio({"--restore", "Zwei"}).exitCode, 0);
        EXPECT_EQ(ReadFileBytes(src / "a.txt"), "erste");
        EXPECT_EQ(ReadFileBytes(second / "a.txt"), "zweite");
    }
}

TEST_F(RestoreTest, ACheckTellsWhatCannotBeRestored)
{
    struct Case
    {
        const char* name;
        std::string keys;
        std::function<void()> damage;
        std::string reported; // empty: sound
    };
    const std::vector<Case> cases = {
        {"Ordner", "Backuptype=1\r\n", [] {}, ""},
        {"Ordner unlesbar", "Backuptype=1\r\n",
         [this] {
             shell("chown -R 65534:65534 '" + data.string() + "' && chmod 0755 '" + home.path().string() +
                   "' && chmod 0000 '" + (dst / "a.txt").string() + "'");
         },
         "nicht lesbar: " + (dst / "a.txt").string()},
        {"ZIP beschädigt", "Backuptype=1\r\nCompress=1\r\nZipfile=daten.zip\r\n",
         [this] {
             std::string archive = ReadFileBytes(dst / "daten.zip");
             const std::size_t at = archive.find("blank 1");
             ASSERT_NE(at, std::string::npos);
             archive[at] = 'B';
             WriteFileBytes(dst / "daten.zip", archive);
         },
         "beschädigt: " + (dst / "daten.zip").string() + ": mit blank/datei mit blank.txt"},
        {"ZIP Teil fehlt", "Backuptype=1\r\nCompress=1\r\nZipfile=teil.zip\r\nDiskSpan=1\r\nMaxVolumeSize=70000\r\n",
         [this] { std::filesystem::remove(dst / "teil.z01"); }, "Archiv nicht lesbar: " + (dst / "teil.zip").string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        backedUpTree(c.name, c.keys);
        c.damage();
        const Outcome o = tresorio({"--check", c.name}, c.reported.rfind("nicht lesbar", 0) == 0);
        const std::string log = ReadFileBytes(data / "Backup.log");
        EXPECT_EQ(o.exitCode, c.reported.empty() ? 0 : 1) << o.err << log;
        EXPECT_NE(log.find("\r\nPrüfen\r\n"), std::string::npos) << log;
        if (!c.reported.empty()) {
            EXPECT_NE(log.find("!!! Fehler    : " + c.reported), std::string::npos) << log;
        }
        std::filesystem::remove(data / "Backup.log");
    }
}

} // namespace
