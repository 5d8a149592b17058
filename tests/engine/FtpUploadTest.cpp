#include "base/ProgramSettings.h"
#include "engine/BackupRun.h"
#include "engine/KeptMetadata.h"
#include "platform/posix/ArchiveStateCatalogue.h"
#include "platform/posix/PosixFileSystem.h"
#include "profiles/ProfileText.h"
#include "support/FakePlatform.h"
#include "support/FtpServer.h"
#include "support/RecordingObserver.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <QProcess>
#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <thread>

namespace {

using Lines = std::vector<std::string>;

// The run's tag is fixed here, so the names of its own files on the server are known.
constexpr const char* WorkTag = "tresorio-test";
constexpr const char* Temporary = ".tresorio-test-upload";
// How long the server may keep silent: short, so the tests of silence end soon.
constexpr int ReplySeconds = 4;

bool contains(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool anyStartsWith(const Lines& lines, const std::string& start)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

// A source folder, a server root and what a run against a server needs.
class FtpFixture : public ::testing::Test
{
protected:
    TempDir dir;
    std::filesystem::path src = dir / "quelle";
    std::filesystem::path root = dir / "server";
    FakePlatform platform;
    PosixFileSystem fs;
    RecordingObserver observer;
    RunControl control;
    std::filesystem::path dataFolder; // none: the run keeps nothing between runs

    FtpFixture() { std::filesystem::create_directories(root / "sicherung"); }

    TProfile profile(int port) const
    {
        TProfile p = DefaultProfile({});
        p.Name = "FTP";
        p.Source = {src.string()};
        p.Withsub = true;
        p.Backuptype = BackupFull;
        p.FTP = true;
        p.FTPServer = "127.0.0.1:" + std::to_string(port);
        p.FTPMode = 2;
        p.NetUser = FtpServer::User;
        p.NetPasswd = FtpServer::Password;
        p.Destination = "sicherung";
        return p;
    }

    RunResult run(const TProfile& p)
    {
        BackupJob job;
        job.profile = p;
        job.logAll = true;
        job.logError = true;
        job.ftpTransferExt = DefaultFtpTransferExt;
        job.workTag = WorkTag;
        job.dataFolder = dataFolder.string();
        job.ftpReplySeconds = ReplySeconds;
        ArchiveStateCatalogue catalogue(dir / "archive-state.db");
        return BackupRun(job, platform, fs, catalogue, observer, control).Run();
    }

    // The commands that shape the remote tree, in order.
    static Lines treeCommands(const Lines& all)
    {
        Lines out;
        for (const std::string& c : all)
            for (const char* verb : {"STOR", "RNTO", "MKD", "CWD", "CDUP"})
                if (c.rfind(verb, 0) == 0)
                    out.push_back(c);
        return out;
    }
};

class FtpUploadTest : public FtpFixture
{
protected:
    FtpServer server{root, dir / "commands.log"};

    FtpUploadTest()
    {
        MakeFile(src / "top.bin", std::string("\x00\x01\r\n\xFF", 5));
        MakeFile(src / "a/in-a.bin", "a");
        MakeFile(src / "a/b/in-b.bin", "b");
    }

    TProfile profile() const { return FtpFixture::profile(server.port()); }
};

TEST_F(FtpUploadTest, TheTreeIsMirroredOnTheServerOverOneConnection)
{
    ASSERT_NE(server.port(), 0);
    const RunResult r = run(profile());
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    EXPECT_EQ(r.filesDone, 3);
    EXPECT_EQ(ReadFileBytes(root / "sicherung/top.bin"), std::string("\x00\x01\r\n\xFF", 5));
    EXPECT_EQ(ReadFileBytes(root / "sicherung/a/b/in-b.bin"), "b");
    // Each file goes to a name of the run's own and takes its name once the server has it all.
    const std::string store = std::string("STOR ") + Temporary;
    // Last, what the server cannot keep of the files goes in a file of its own.
    EXPECT_EQ(treeCommands(server.commands()),
              (Lines{"CWD sicherung", "MKD a", "CWD a", "MKD b", "CWD b", store, "RNTO in-b.bin", "CDUP", store,
                     "RNTO in-a.bin", "CDUP", store, "RNTO top.bin", store, "RNTO .tresorio-metadaten"}));
    EXPECT_EQ(TreeOf(root), (Lines{"sicherung/", "sicherung/.tresorio-metadaten", "sicherung/a/", "sicherung/a/b/",
                                   "sicherung/a/b/in-b.bin", "sicherung/a/in-a.bin", "sicherung/top.bin"}));
    const Lines all = server.commands();
    EXPECT_EQ(std::count(all.begin(), all.end(), "CONNECT"), 1);
    EXPECT_TRUE(anyStartsWith(all, "PORT "));
    EXPECT_FALSE(contains(all, "PASV"));
    EXPECT_EQ(r.logLines[5], "Ziel                  : FTP");
    // After the login: the transfer type, then the system type, then the start folder.
    const auto pass = std::find(all.begin(), all.end(), "PASS");
    ASSERT_NE(pass, all.end());
    EXPECT_EQ(Lines(pass + 1, pass + 5), (Lines{"PWD", "TYPE I", "SYST", "CWD sicherung"}));

    // Incremental: nothing changed, nothing is sent.
    TProfile incremental = profile();
    incremental.Backuptype = BackupIncremental;
    EXPECT_EQ(run(incremental).filesDone, 0);
}

TEST_F(FtpUploadTest, WhatTheServerCannotKeepGoesAlongInAFileKeptForEveryRun)
{
    std::filesystem::create_symlink("a/in-a.bin", src / "verweis");
    ::mkfifo((src / "rohr").c_str(), 0600);
    TProfile p = profile();
    p.Backuptype = BackupIncremental;
    dataFolder = dir / "daten";
    std::filesystem::create_directories(dataFolder);
    RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    auto kept = KeptMetadata::Parse(ReadFileBytes(root / "sicherung" / KeptMetadata::FileName));
    EXPECT_EQ(kept["verweis"].kind, EntryKind::Link);
    EXPECT_EQ(kept["verweis"].linkTarget, "a/in-a.bin");
    EXPECT_EQ(kept["rohr"].kind, EntryKind::Fifo);
    EXPECT_EQ(kept["a/b/in-b.bin"].kind, EntryKind::File);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(root / "sicherung/verweis")));
    // A run that sends one changed file sends the whole file again, with what came before.
    MakeFile(src / "top.bin", "neu");
    r = run(p);
    EXPECT_EQ(r.filesDone, 1);
    kept = KeptMetadata::Parse(ReadFileBytes(root / "sicherung" / KeptMetadata::FileName));
    EXPECT_EQ(kept.count("verweis"), 1u);
    EXPECT_EQ(kept.count("top.bin"), 1u);
}

TEST_F(FtpUploadTest, AutoModeSendsAsTextOnlyWhatATextMaskNamesAndTextModeStaysForWhoAsksForIt)
{
    // An archive of object files, a header and a program without extension hold bytes a text
    // transfer changes (this server drops a CR at the end of a file sent as text).
    const std::string binary = std::string("!<arch>\n\x00\r\n\x7f\xff", 13) + Noise(70'000) + "\r";
    for (const char* name : {"libx.a", "x.h", "README", "tool"})
        MakeFile(src / "typen" / name, binary);
    MakeFile(src / "typen/notes.txt", "eins\nzwei\n");
    MakeFile(src / "typen/INDEX.HTML", "<p>\n");
    TProfile p = profile();
    p.FTPMode = 0;
    p.FTPPassive = true;
    p.Source = {(src / "typen").string()};
    const RunResult r = run(p);
    ASSERT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    for (const char* name : {"libx.a", "x.h", "README", "tool"})
        EXPECT_EQ(ReadFileBytes(root / "sicherung" / name), binary) << name;
    EXPECT_EQ(ReadFileBytes(root / "sicherung/notes.txt"), "eins\nzwei\n");
    EXPECT_EQ(ReadFileBytes(root / "sicherung/INDEX.HTML"), "<p>\n");

    // The type in force when each file was stored, by the name it took.
    auto typesOf = [](const Lines& all) {
        std::string type;
        std::string stored;
        std::map<std::string, std::string> typeOf;
        for (const std::string& c : all) {
            if (c.rfind("TYPE ", 0) == 0)
                type = c.substr(5);
            if (c.rfind("STOR ", 0) == 0)
                stored = type;
            if (c.rfind("RNTO ", 0) == 0)
                typeOf[c.substr(5)] = stored;
        }
        return typeOf;
    };
    const Lines all = server.commands();
    EXPECT_EQ(typesOf(all), (std::map<std::string, std::string>{{".tresorio-metadaten", "I"},
                                                                {"INDEX.HTML", "A"},
                                                                {"README", "I"},
                                                                {"libx.a", "I"},
                                                                {"notes.txt", "A"},
                                                                {"tool", "I"},
                                                                {"x.h", "I"}}));
    EXPECT_EQ(std::count(all.begin(), all.end(), "PASV"), 7);
    EXPECT_FALSE(anyStartsWith(all, "EPSV"));

    // Text mode sends every file as text, as asked.
    p.FTPMode = 1;
    p.FTPPassive = false;
    ASSERT_EQ(run(p).errorCount, 0);
    for (const auto& [name, type] : typesOf(server.commands()))
        EXPECT_EQ(type, name == ".tresorio-metadaten" ? "I" : "A") << name;
    EXPECT_NE(ReadFileBytes(root / "sicherung/libx.a"), binary);
}

TEST_F(FtpUploadTest, AConnectFailureSaysWhichStepFailedAndWhatTheServerAnswered)
{
    struct Case
    {
        const char* what;
        std::function<void(TProfile&)> change;
        std::string line; // the error line, or its beginning when it ends with "("
    };
    const Case cases[] = {
        {"no server", [](TProfile& p) { p.FTPServer = "127.0.0.1:1"; },
         "!!! Fehler    : FTP-Server 127.0.0.1:1 nicht erreichbar ("},
        {"wrong password", [](TProfile& p) { p.NetPasswd = "falsch"; },
         "!!! Fehler    : Anmeldung als anna abgelehnt (530 Authentication failed.)"},
        {"no start folder", [](TProfile& p) { p.Destination = "/upload"; },
         "!!! Fehler    : Startordner /upload nicht gefunden (550 No such file or directory.)"},
        {"no start folder, passive",
         [](TProfile& p) {
             p.Destination = "fehlt";
             p.FTPPassive = true;
         },
         "!!! Fehler    : Startordner fehlt nicht gefunden (550 No such file or directory.)"},
    };
    for (const Case& c : cases) {
        TProfile p = profile();
        c.change(p);
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 1) << c.what;
        EXPECT_EQ(r.filesDone, 0) << c.what;
        const bool beginning = c.line.back() == '(';
        EXPECT_TRUE(beginning ? anyStartsWith(r.logLines, c.line) : contains(r.logLines, c.line))
            << c.what << testing::PrintToString(r.logLines);
    }
    EXPECT_EQ(TreeOf(root), Lines{"sicherung/"});
}

TEST_F(FtpUploadTest, SeveralSourcesMergeBelowTheStartFolder)
{
    MakeFile(dir / "zweite/z.bin", std::string(70'000, 'z'));
    MakeFile(dir / "zweite/a/z-in-a.bin", "za");
    TProfile p = profile();
    p.Source.push_back((dir / "zweite").string());
    const RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(ReadFileBytes(root / "sicherung/z.bin"), std::string(70'000, 'z'));
    EXPECT_EQ(ReadFileBytes(root / "sicherung/a/z-in-a.bin"), "za");
    EXPECT_EQ(ReadFileBytes(root / "sicherung/a/in-a.bin"), "a");
}

TEST_F(FtpUploadTest, AFolderThatCannotBeEnteredIsReportedAndTheWalkNeverLeavesTheStartFolder)
{
    WriteFileBytes(root / "sicherung/a", "a file where the folder should go");
    const RunResult r = run(profile());
    // The folder and each file below it are errors; nothing lands in the wrong folder, and no
    // CDUP climbs above the start folder for a folder that was never entered.
    EXPECT_EQ(r.errorCount, 3) << testing::PrintToString(r.logLines);
    EXPECT_EQ(r.filesDone, 1);
    EXPECT_EQ(TreeOf(root), (Lines{"sicherung/", "sicherung/.tresorio-metadaten", "sicherung/a", "sicherung/top.bin"}));
    EXPECT_EQ(treeCommands(server.commands()),
              (Lines{"CWD sicherung", "MKD a", "CWD a", std::string("STOR ") + Temporary, "RNTO top.bin",
                     std::string("STOR ") + Temporary, "RNTO .tresorio-metadaten"}));
    const auto errors = std::count_if(r.logLines.begin(), r.logLines.end(),
                                      [](const std::string& l) { return l.rfind("!!! Fehler    : ", 0) == 0; });
    EXPECT_EQ(errors, 3);
    EXPECT_TRUE(contains(r.logLines, "!!! Fehler    : copying a/b/in-b.bin (FTP-Verzeichnis nicht erreichbar)"));
    EXPECT_TRUE(contains(r.logLines, "!!! Fehler    : FTP-Verzeichnis nicht erreichbar: a/ (550 Not a directory.)"))
        << testing::PrintToString(r.logLines);
}

TEST_F(FtpUploadTest, NamesWithLineBreaksAreNeverSent)
{
    WriteFileBytes(root / "sicherung/x", "must stay");
    MakeFile(src / "evil\r\nDELE x/inside.bin", "i");
    MakeFile(src / "name\r\nDELE x", "n");
    const RunResult r = run(profile());
    EXPECT_EQ(ReadFileBytes(root / "sicherung/x"), "must stay");
    for (const std::string& command : server.commands())
        EXPECT_EQ(command.find("DELE"), std::string::npos) << command;
    EXPECT_EQ(r.errorCount, 3) << testing::PrintToString(r.logLines); // the folder, its file, the file
    EXPECT_EQ(r.filesDone, 3);
}

TEST_F(FtpUploadTest, AFolderWhereTheFileGoesStaysAndTheArchiveBitStaysSet)
{
    std::filesystem::create_directories(root / "sicherung/top.bin/inhalt"); // the name cannot take the file
    TProfile p = profile();
    p.Backuptype = BackupIncremental;
    RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(r.filesDone, 2);
    EXPECT_TRUE(anyStartsWith(r.logLines, "!!! Fehler    : copying top.bin (Umbenennen auf dem Server abgelehnt (550 "))
        << testing::PrintToString(r.logLines);
    // The folder is neither moved aside nor replaced, and the upload leaves nothing behind.
    EXPECT_EQ(TreeOf(root / "sicherung"), (Lines{".tresorio-metadaten", "a/", "a/b/", "a/b/in-b.bin", "a/in-a.bin",
                                                 "top.bin/", "top.bin/inhalt/"}));
    std::filesystem::remove_all(root / "sicherung/top.bin");
    r = run(p);
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.filesDone, 1); // only the file whose upload failed
    EXPECT_EQ(ReadFileBytes(root / "sicherung/top.bin"), std::string("\x00\x01\r\n\xFF", 5));
}

// Servers and links that fail in the middle of an upload: the copy on the server stays as it
// was, the report counts the failure, and nothing of the run's own is left there.
class FtpServerFaultTest : public FtpFixture
{
protected:
    const std::string large = Noise(8 << 20);

    FtpServerFaultTest()
    {
        MakeFile(src / "gross.bin", large);
        WriteFileBytes(root / "sicherung/gross.bin", "die gute alte Fassung");
    }
};

TEST_F(FtpServerFaultTest, ACutOrRefusedUploadKeepsTheServersCopy)
{
    struct Case
    {
        std::string behaviour;
        bool passive;
        std::string reason; // what the error line says, or its beginning when it ends with "("
    };
    const Case cases[] = {
        {"cut=65536", true, "Übertragung fehlgeschlagen ("},
        {"cut=65536", false, "Übertragung fehlgeschlagen ("},
        {"refuse=STOR:553 Kein Platz.", false, "Übertragung fehlgeschlagen (553 Kein Platz.))"},
        {"refuse=RNFR:502 Command not implemented.", true,
         "Umbenennen auf dem Server abgelehnt (502 Command not implemented.))"},
        // The whole file arrived (226), but it cannot take its name.
        {"refuse=RNTO:553 Umbenennen verboten.", false,
         "Umbenennen auf dem Server abgelehnt (553 Umbenennen verboten.))"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour + (c.passive ? ", passive" : ", active"));
        FtpServer server(root, dir / "commands.log", {c.behaviour});
        TProfile p = profile(server.port());
        p.FTPPassive = c.passive;
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 1) << testing::PrintToString(r.logLines);
        EXPECT_EQ(r.filesDone, 0);
        const std::string line = "!!! Fehler    : copying gross.bin (" + c.reason;
        EXPECT_TRUE(c.reason.back() == '(' ? anyStartsWith(r.logLines, line) : contains(r.logLines, line))
            << testing::PrintToString(r.logLines);
        EXPECT_EQ(ReadFileBytes(root / "sicherung/gross.bin"), "die gute alte Fassung");
        // Nothing reached the server, so there is nothing to note of it either.
        EXPECT_EQ(TreeOf(root), (Lines{"sicherung/", "sicherung/gross.bin"}));
    }
}

TEST_F(FtpServerFaultTest, AfterACutTheRunGoesOnInTheFolderItWasIn)
{
    // libcurl gives up the control connection after a cut: a new one goes back to the folder,
    // clears the part there, and the walk carries on where it was.
    std::filesystem::rename(src / "gross.bin", dir / "gross.bin");
    MakeFile(src / "a/b/gross.bin", large);
    MakeFile(src / "a/b/klein.bin", "klein");
    MakeFile(src / "top.bin", "oben");
    FtpServer server(root, dir / "commands.log", {"cut=65536"});
    const RunResult r = run(profile(server.port()));
    EXPECT_EQ(r.errorCount, 1) << testing::PrintToString(r.logLines);
    EXPECT_EQ(r.filesDone, 2);
    EXPECT_EQ(TreeOf(root), (Lines{"sicherung/", "sicherung/.tresorio-metadaten", "sicherung/a/", "sicherung/a/b/",
                                   "sicherung/a/b/klein.bin", "sicherung/gross.bin", "sicherung/top.bin"}));
    EXPECT_EQ(ReadFileBytes(root / "sicherung/top.bin"), "oben");
    const Lines all = server.commands();
    EXPECT_GE(std::count(all.begin(), all.end(), "CONNECT"), 2);
    EXPECT_TRUE(contains(all, std::string("DELE ") + Temporary));
}

TEST_F(FtpServerFaultTest, AServerThatWillNotRenameOntoAFileStillGetsTheNewCopy)
{
    FtpServer server(root, dir / "commands.log", {"no-replace-on-rename"});
    const RunResult r = run(profile(server.port()));
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    EXPECT_EQ(ReadFileBytes(root / "sicherung/gross.bin"), large);
    EXPECT_EQ(TreeOf(root), (Lines{"sicherung/", "sicherung/.tresorio-metadaten", "sicherung/gross.bin"}));
    // The old copy stepped aside for the moment of the rename.
    EXPECT_TRUE(contains(server.commands(), "RNTO .tresorio-test-old"));
}

TEST_F(FtpServerFaultTest, EveryReplyHasItsOwnTimeLimit)
{
    // The three replies of the login come 7.5 s after their commands all told: each within
    // its 4 s.
    FtpServer server(root, dir / "commands.log", {"late=2.5:USER,PASS,PWD"});
    const RunResult r = run(profile(server.port()));
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    EXPECT_EQ(ReadFileBytes(root / "sicherung/gross.bin"), large);
}

TEST(FtpSilentServerTest, AServerThatStopsAnsweringEndsTheRunAfterTheReplyTimeout)
{
    // Greets and then says nothing more.
    QProcess silent;
    silent.start("/usr/bin/python3",
                 {"-c", "import socket,time\ns=socket.socket()\ns.bind(('127.0.0.1',0))\ns.listen()\n"
                        "print(s.getsockname()[1],flush=True)\nc,_=s.accept()\nc.send(b'220 hallo\\r\\n')\n"
                        "time.sleep(60)\n"});
    ASSERT_TRUE(silent.waitForReadyRead(10000));
    const int port = silent.readLine().trimmed().toInt();
    TempDir dir;
    MakeFile(dir / "quelle/a.txt", "a");
    TProfile p = DefaultProfile({});
    p.Name = "Stumm";
    p.Source = {(dir / "quelle").string()};
    p.Backuptype = BackupFull;
    p.FTP = true;
    p.FTPServer = "127.0.0.1:" + std::to_string(port);
    p.NetUser = "anna";
    BackupJob job;
    job.profile = p;
    job.ftpReplySeconds = ReplySeconds;
    FakePlatform platform;
    PosixFileSystem fs;
    RecordingObserver observer;
    RunControl control;
    ArchiveStateCatalogue catalogue(dir / "archive-state.db");
    const RunResult r = BackupRun(job, platform, fs, catalogue, observer, control).Run();
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_TRUE(
        contains(r.logLines, "!!! Fehler    : Anmeldung als anna fehlgeschlagen (keine Antwort auf USER in 4 s)"))
        << testing::PrintToString(r.logLines);
    silent.kill();
    silent.waitForFinished();
}

// A server that takes the beginning of an upload and then stops reading, as a server behind a
// broken link does.
class FtpStallTest : public FtpServerFaultTest
{
protected:
    FtpServer server{root, dir / "commands.log", {"stall=65536"}};

    RunResult run()
    {
        TProfile p = profile(server.port());
        p.FTPPassive = true;
        return FtpFixture::run(p);
    }
};

TEST_F(FtpStallTest, AnUploadThatStopsMovingFailsAfterTheReplyTimeout)
{
    const RunResult r = run();
    EXPECT_EQ(r.filesDone, 0);
    EXPECT_EQ(r.errorCount, 1) << testing::PrintToString(r.logLines);
    EXPECT_TRUE(
        contains(r.logLines,
                 "!!! Fehler    : copying gross.bin (Übertragung fehlgeschlagen (Übertragung 4 s ohne Fortschritt))"))
        << testing::PrintToString(r.logLines);
    EXPECT_EQ(ReadFileBytes(root / "sicherung/gross.bin"), "die gute alte Fassung");
    EXPECT_EQ(TreeOf(root), (Lines{"sicherung/", "sicherung/gross.bin"}));
}

TEST_F(FtpStallTest, ACancelEndsAStalledUpload)
{
    std::thread cancel([this] {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        control.abortRequested = true;
    });
    const auto started = std::chrono::steady_clock::now();
    const RunResult r = run();
    const auto took = std::chrono::steady_clock::now() - started;
    cancel.join();
    // Well before the stall limit would have ended it.
    EXPECT_LT(took, std::chrono::seconds(10));
    EXPECT_EQ(r.filesDone, 0);
    EXPECT_TRUE(contains(r.logLines, "!!! Fehler    : Abbruch durch Benutzer")) << testing::PrintToString(r.logLines);
    // The cancel is the run's one error; the part on the server is cleared in the short grace.
    EXPECT_EQ(r.errorCount, 1) << testing::PrintToString(r.logLines);
    EXPECT_EQ(ReadFileBytes(root / "sicherung/gross.bin"), "die gute alte Fassung");
    EXPECT_EQ(TreeOf(root), (Lines{"sicherung/", "sicherung/gross.bin"}));
}

TEST(FtpSessionTest, ServerAndTypes)
{
    EXPECT_EQ(FtpLoginOf("host:2121").port, 2121);
    EXPECT_EQ(FtpLoginOf("host:2121").host, "host");
    EXPECT_EQ(FtpLoginOf("host:abc").port, 21);
    EXPECT_EQ(FtpLoginOf("host").port, 21);
    EXPECT_EQ(FtpLoginOf(" host : 99 ").host, "host");

    // Auto: text only for a name a text mask matches as a whole, case ignored.
    struct Case
    {
        const char* name;
        const char* masks;
        bool text;
    };
    const std::string defaults = DefaultFtpTransferExt;
    const Case cases[] = {
        {"libx.a", defaults.c_str(), false},       {"x.h", defaults.c_str(), false},
        {"x.c", defaults.c_str(), false},          {"x.d", defaults.c_str(), false},
        {"x.s", defaults.c_str(), false},          {"x.in", defaults.c_str(), false},
        {"README", defaults.c_str(), false},       {"daten.dat", defaults.c_str(), false},
        {"notes.txt.gz", defaults.c_str(), false}, {"x.htmlx", defaults.c_str(), false},
        {"notes.txt", defaults.c_str(), true},     {"X.TXT", defaults.c_str(), true},
        {"index.Html", defaults.c_str(), true},    {"x.htm", defaults.c_str(), true},
        {"README", "*.md,README", true},           {"README", "*.", true},
        {"a.mit blank", "\"*.mit blank\"", true},  {"libx.a", "*.txt,,*.md", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FtpTextTransfer(c.name, 0, c.masks), c.text) << c.name << " with " << c.masks;
    EXPECT_TRUE(FtpTextTransfer("libx.a", 1, ""));
    EXPECT_FALSE(FtpTextTransfer("a.txt", 2, DefaultFtpTransferExt));
    EXPECT_FALSE(FtpTextTransfer("a.txt", 255, DefaultFtpTransferExt));
}

} // namespace
