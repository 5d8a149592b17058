#include "base/ProgramSettings.h"
#include "engine/BackupRun.h"
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
#include <thread>

namespace {

using Lines = std::vector<std::string>;

class FtpUploadTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::filesystem::path src = dir / "quelle";
    std::filesystem::path root = dir / "server";
    FtpServer server{root, dir / "commands.log"};
    FakePlatform platform;
    PosixFileSystem fs;
    RecordingObserver observer;
    RunControl control;

    FtpUploadTest()
    {
        std::filesystem::create_directories(root / "sicherung");
        MakeFile(src / "top.bin", std::string("\x00\x01\r\n\xFF", 5));
        MakeFile(src / "a/in-a.bin", "a");
        MakeFile(src / "a/b/in-b.bin", "b");
    }

    TProfile profile()
    {
        TProfile p = DefaultProfile({});
        p.Name = "FTP";
        p.Source = {src.string()};
        p.Withsub = true;
        p.Backuptype = BackupFull;
        p.FTP = true;
        p.FTPServer = "127.0.0.1:" + std::to_string(server.port());
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
        job.ftpTransferExt = DefaultFtpTransferExt;
        ArchiveStateCatalogue catalogue(dir / "archive-state.db");
        return BackupRun(job, platform, fs, catalogue, observer, control).Run();
    }

    Lines stores() const
    {
        Lines out;
        for (const std::string& c : server.commands())
            if (c.rfind("STOR", 0) == 0 || c.rfind("MKD", 0) == 0 || c.rfind("CWD", 0) == 0 || c == "CDUP")
                out.push_back(c);
        return out;
    }
};

TEST_F(FtpUploadTest, TheTreeIsMirroredOnTheServerOverOneConnection)
{
    ASSERT_NE(server.port(), 0);
    const RunResult r = run(profile());
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    EXPECT_EQ(r.filesDone, 3);
    EXPECT_EQ(ReadFileBytes(root / "sicherung/top.bin"), std::string("\x00\x01\r\n\xFF", 5));
    EXPECT_EQ(ReadFileBytes(root / "sicherung/a/b/in-b.bin"), "b");
    EXPECT_EQ(stores(), (Lines{"CWD sicherung", "MKD a", "CWD a", "MKD b", "CWD b", "STOR in-b.bin", "CDUP",
                               "STOR in-a.bin", "CDUP", "STOR top.bin"}));
    const Lines all = server.commands();
    EXPECT_EQ(std::count(all.begin(), all.end(), "CONNECT"), 1);
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const std::string& c) { return c.rfind("PORT ", 0) == 0; }));
    EXPECT_EQ(std::count(all.begin(), all.end(), "PASV"), 0);
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

TEST_F(FtpUploadTest, AutoModeSendsAsTextOnlyWhatATextMaskNamesInPassiveMode)
{
    // An archive of object files, a header and a program without extension hold bytes a text
    // transfer changes (this server drops a CR at the end of a file sent as text).
    const std::string binary = std::string("!<arch>\n\x00\r\n\x7f\xff", 13) + Noise(70'000) + "\r";
    for (const char* name : {"libx.a", "x.h", "README", "photo.jpg"})
        MakeFile(src / "typen" / name, binary);
    for (const char* name : {"index.html", "NOTES.TXT"})
        MakeFile(src / "typen" / name, "x\n");
    TProfile p = profile();
    p.FTPMode = 0;
    p.FTPPassive = true;
    p.Source = {(src / "typen").string()};
    ASSERT_EQ(run(p).errorCount, 0);
    for (const char* name : {"libx.a", "x.h", "README", "photo.jpg"})
        EXPECT_EQ(ReadFileBytes(root / "sicherung" / name), binary) << name;
    const Lines all = server.commands();
    std::string type;
    std::map<std::string, std::string> typeOf;
    for (const std::string& c : all) {
        if (c.rfind("TYPE ", 0) == 0)
            type = c.substr(5);
        if (c.rfind("STOR ", 0) == 0)
            typeOf[c.substr(5)] = type;
    }
    EXPECT_EQ(typeOf, (std::map<std::string, std::string>{{"NOTES.TXT", "A"},
                                                          {"README", "I"},
                                                          {"index.html", "A"},
                                                          {"libx.a", "I"},
                                                          {"photo.jpg", "I"},
                                                          {"x.h", "I"}}));
    EXPECT_EQ(std::count(all.begin(), all.end(), "PASV"), 6);
    EXPECT_FALSE(std::any_of(all.begin(), all.end(), [](const std::string& c) { return c.rfind("EPSV", 0) == 0; }));
}

TEST_F(FtpUploadTest, ConnectFailuresEndTheRunBeforeTheWalk)
{
    struct Case
    {
        const char* what;
        std::function<void(TProfile&)> change;
    };
    const Case cases[] = {
        {"no server", [](TProfile& p) { p.FTPServer = "127.0.0.1:1"; }},
        {"wrong password", [](TProfile& p) { p.NetPasswd = "falsch"; }},
        {"no start folder", [](TProfile& p) { p.Destination = "fehlt"; }},
    };
    for (const Case& c : cases) {
        TProfile p = profile();
        c.change(p);
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 1) << c.what;
        EXPECT_EQ(r.filesDone, 0) << c.what;
        EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(), "!!! FTP Connect Error"), r.logLines.end()) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(root / "sicherung/top.bin"));
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
    EXPECT_EQ(TreeOf(root), (Lines{"sicherung/", "sicherung/a", "sicherung/top.bin"}));
    EXPECT_EQ(stores(), (Lines{"CWD sicherung", "MKD a", "CWD a", "STOR top.bin"}));
    const auto errors = std::count_if(r.logLines.begin(), r.logLines.end(),
                                      [](const std::string& l) { return l.rfind("!!! Fehler    : ", 0) == 0; });
    EXPECT_EQ(errors, 3);
    EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(),
                        "!!! Fehler    : copying a/b/in-b.bin (FTP-Verzeichnis nicht erreichbar)"),
              r.logLines.end());
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

TEST_F(FtpUploadTest, AFailedUploadIsAnErrorAndKeepsTheArchiveBit)
{
    std::filesystem::create_directories(root / "sicherung/top.bin"); // the server cannot store the file there
    TProfile p = profile();
    p.Backuptype = BackupIncremental;
    RunResult r = run(p);
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(r.filesDone, 2);
    EXPECT_NE(std::find_if(r.logLines.begin(), r.logLines.end(),
                           [](const std::string& l) { return l.rfind("!!! Fehler    : copying top.bin (", 0) == 0; }),
              r.logLines.end());
    std::filesystem::remove(root / "sicherung/top.bin");
    r = run(p);
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.filesDone, 1); // only the file whose upload failed
    EXPECT_EQ(ReadFileBytes(root / "sicherung/top.bin"), std::string("\x00\x01\r\n\xFF", 5));
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
    FakePlatform platform;
    PosixFileSystem fs;
    RecordingObserver observer;
    RunControl control;
    ArchiveStateCatalogue catalogue(dir / "archive-state.db");
    const RunResult r = BackupRun(job, platform, fs, catalogue, observer, control).Run();
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(), "!!! FTP Connect Error"), r.logLines.end());
    silent.kill();
    silent.waitForFinished();
}

// A server that takes the beginning of an upload and then stops reading.
class FtpStallTest : public ::testing::Test
{
protected:
    QProcess server;
    TempDir dir;
    FakePlatform platform;
    PosixFileSystem fs;
    RecordingObserver observer;
    RunControl control;

    FtpStallTest()
    {
        server.start("/usr/bin/python3", {TRESORIO_STALLING_FTP_SERVER});
        server.waitForReadyRead(10000);
        MakeFile(dir / "quelle/gross.bin", Noise(8 << 20));
    }
    ~FtpStallTest() override
    {
        server.kill();
        server.waitForFinished();
    }

    RunResult run()
    {
        TProfile p = DefaultProfile({});
        p.Name = "Stau";
        p.Source = {(dir / "quelle").string()};
        p.Backuptype = BackupFull;
        p.FTP = true;
        p.FTPPassive = true;
        p.FTPServer = "127.0.0.1:" + server.readLine().trimmed().toStdString();
        p.NetUser = "anna";
        BackupJob job;
        job.profile = p;
        job.logError = true;
        ArchiveStateCatalogue catalogue(dir / "archive-state.db");
        return BackupRun(job, platform, fs, catalogue, observer, control).Run();
    }
};

TEST_F(FtpStallTest, AnUploadThatStopsMovingFailsAfterTheReplyTimeout)
{
    const RunResult r = run();
    EXPECT_EQ(r.filesDone, 0);
    EXPECT_EQ(r.errorCount, 1) << testing::PrintToString(r.logLines);
    EXPECT_NE(std::find_if(r.logLines.begin(), r.logLines.end(),
                           [](const std::string& l) { return l.rfind("!!! Fehler    : copying gross.bin (", 0) == 0; }),
              r.logLines.end());
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
    EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(), "!!! Fehler    : Abbruch durch Benutzer"),
              r.logLines.end())
        << testing::PrintToString(r.logLines);
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
