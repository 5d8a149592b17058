// The tresorio executable, started as a process.

#include "ProgramProcess.h"
#include "RunningProgramTest.h"
#include "profiles/Scramble.h"
#include "support/Shell.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every file below the folder with its content, to see that nothing was written.
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files[entry.path().string()] = entry.is_regular_file() ? ReadFileBytes(entry.path()) : "<dir>";
    return files;
}

TEST(ProgramTest, ListsAProfileFileOfAnOlderInstallation)
{
    TempDir home;
    const auto data = home / "daten";
    std::filesystem::create_directories(data);
    std::filesystem::copy_file(std::filesystem::path(TRESORIO_FIXTURES) / "legacy-cp1252/Backup.bpf",
                               data / "Backup.bpf");
    const auto before = snapshot(home.path());

    const Outcome o = runTresorio({"--data-dir", q(data), "--list"}, home.path());
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, "Sicherung Büro\t04.01.2003 16:30 (2 Err)\t06.01.2003 08:00\tVollsicherung, komprimieren\n"
                     "Übersicht Größe\t-\t-\tSynchronisieren\n");
    EXPECT_EQ(snapshot(home.path()), before);
}

TEST(ProgramTest, ListingAnEmptyOrMissingFolderPrintsNothingAndWritesNothing)
{
    TempDir home;
    std::filesystem::create_directories(home / "leer");
    for (const char* folder : {"leer", "fehlt"}) {
        const Outcome o = runTresorio({"--data-dir", q(home / folder), "--list"}, home.path());
        EXPECT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(o.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(home / "fehlt"));
    EXPECT_TRUE(std::filesystem::is_empty(home / "leer"));
}

TEST(ProgramTest, ADamagedProfileFileIsReportedAndKept)
{
    TempDir home;
    const auto data = home / "daten";
    std::filesystem::create_directories(data);
    WriteFileBytes(data / "Backup.bpf", "kaputt\r\n[A]\r\n");
    const auto before = snapshot(home.path());

    const Outcome list = runTresorio({"--data-dir", q(data), "--list"}, home.path());
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_EQ(list.out, "");
    EXPECT_NE(list.err.find("keine lesbare Profildatei"), std::string::npos) << list.err;
    EXPECT_EQ(snapshot(home.path()), before);

    std::filesystem::create_directories(home / "run");
    RunningCopy copy(home.path(), data);
    EXPECT_TRUE(channelReady(home.path()));
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_NE(copy.process().readAllStandardError().toStdString().find("Backup.bpf.bak"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(data / "Backup.bpf.bak"), "kaputt\r\n[A]\r\n");
    EXPECT_EQ(ReadFileBytes(data / "Backup.bpf"), "[Signature]\r\n\r\n\r\n");
}

TEST(ProgramTest, FirstStartCreatesTheFilesInTheDefaultDataFolder)
{
    TempDir home;
    std::filesystem::create_directories(home / "run");
    RunningCopy copy(home.path(), std::nullopt);
    const auto data = home / "xdg-data/tresorio";
    EXPECT_TRUE(waitFor([&data] { return std::filesystem::exists(data / "Backup.bpf"); }));
    EXPECT_EQ(ReadFileBytes(data / "Backup.bpf"), "[Signature]\r\n\r\n\r\n");
    struct stat st
    {
    };
    ::stat((data / "Backup.bpf").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(channelReady(home.path()));
    EXPECT_EQ(runTresorio({"--send", "TRSROStop"}, home.path()).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_NE(ReadFileBytes(data / "settings.ini").find("WaitAfterAutostart=10"), std::string::npos);
}

TEST_F(RunningProgramTest, AScheduleWithoutAReadableNextRunGetsOneAtLoad)
{
    // Written by hand: a daily profile without its moment, and one with no schedule at all.
    WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Abends]\r\nSource=" + src.string() +
                                            "/\r\nDestination=" + dst.string() +
                                            "/\r\nBackuptype=1\r\nPeriod=3\r\nRunTime=23:59\r\nDayOfWeek=1111111\r\n"
                                            "NextRun=kaputt\r\n[Ohne]\r\nPeriod=0\r\n");
    const Outcome list = runTresorio({"--data-dir", q(data), "--list"}, home.path());
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out.find("30.12.1899 00:00\tVoll"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find(" 23:59\tVollsicherung"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\t-\tDateien verschieben"), std::string::npos) << list.out;
    RunningCopy copy(home.path(), data);
    ASSERT_TRUE(channelReady(home.path()));
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_NE(ReadFileBytes(data / "Backup.bpf").find(" 23:59:00\r\nErrors=0"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dst)); // nothing ran meanwhile
}

TEST_F(RunningProgramTest, AbsurdNumbersInTheSettingsReadAsTheirDefaults)
{
    writeProfile(true);
    WriteFileBytes(data / "settings.ini", "[General]\nWaitAfterAutostart=35792\nLogSize=99999999999\n"
                                          "ListColumns0=2147483647\nViewstyle=77\nLanguage=9\nMenuStyle=12\n"
                                          "AutoUpdateNext=-400\n");
    // Registered for autostart: the first tick waits WaitAfterAutostart minutes.
    MakeFile(home / "xdg-config/autostart/tresorio.desktop", "[Desktop Entry]\nType=Application\nExec=tresorio\n");
    {
        RunningCopy copy(home.path(), data);
        ASSERT_TRUE(channelReady(home.path()));
        EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
        EXPECT_EQ(copy.waitForExit(), 0);
        const std::string err = copy.process().readAllStandardError().toStdString();
        EXPECT_EQ(err.find("QTimer"), std::string::npos) << err; // its interval never overflows
    }
    const std::string settings = ReadFileBytes(data / "settings.ini");
    for (const char* line : {"WaitAfterAutostart=10\n", "LogSize=1000\n", "ListColumns0=140\n", "Viewstyle=0\n",
                             "Language=1\n", "MenuStyle=2\n", "AutoUpdateNext=14\n"})
        EXPECT_NE(settings.find(line), std::string::npos) << line << settings;
    // Without the autostart entry the scheduler ticks at once and runs the due profile.
    std::filesystem::remove(home / "xdg-config/autostart/tresorio.desktop");
    RunningCopy copy(home.path(), data);
    EXPECT_TRUE(waitFor([this] { return reported(); }));
    copy.process().terminate();
    EXPECT_EQ(copy.waitForExit(), 0);
}

TEST_F(RunningProgramTest, ALongZipPasswordSurvivesEverySave)
{
    const std::string password = std::string(117, 'k') + "-Größe";
    WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Daten]\r\nSource=" + src.string() +
                                            "/\r\nWithsub=1\r\nDestination=" + dst.string() +
                                            "/\r\nPeriod=1\r\nBackuptype=1\r\nCompress=1\r\nZipfile=a.zip\r\n"
                                            "Encrypt=1\r\nPassword=" +
                                            EncodeZipPassword(password) + "\r\n");
    // Each run saves the profile file twice; the second run needs the password still there.
    for (int run = 0; run < 2; ++run) {
        std::filesystem::remove_all(dst);
        const Outcome o = runTresorio({"--data-dir", q(data), "Daten"}, home.path());
        EXPECT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(o.err.find("Password"), std::string::npos) << o.err;
        const auto [ok, output] = RunShell("7z t -p'" + password + "' " + (dst / "a.zip").string());
        EXPECT_TRUE(ok) << output;
    }
    EXPECT_NE(ReadFileBytes(data / "Backup.bpf").find("Password=" + EncodeZipPassword(password) + "\r\n"),
              std::string::npos);
}

TEST_F(RunningProgramTest, ADueProfileRunsByItselfAndStopSavesEverything)
{
    writeProfile(true);
    RunningCopy copy(home.path(), data);
    EXPECT_TRUE(waitFor([this] { return reported(); }));
    EXPECT_EQ(ReadFileBytes(dst / "sub/b.txt"), "welt");
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_NE(ReadFileBytes(data / "Backup.bpf").find("FilesCount=2\r\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(data / "settings.ini").find("Suspend=0"), std::string::npos);
    // Nobody listens any more.
    EXPECT_NE(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
}

TEST_F(RunningProgramTest, PauseHoldsTheScheduleAndContinueReleasesIt)
{
    writeProfile(true); // due at once, were the scheduler not paused
    WriteFileBytes(data / "settings.ini", "[General]\nSuspend=1\n");
    RunningCopy copy(home.path(), data);
    EXPECT_TRUE(channelReady(home.path()));
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROPause"}, home.path()).exitCode, 0);
    // A second start with the name hands the run over and writes nothing itself.
    const auto before = std::filesystem::last_write_time(data / "Backup.bpf");
    const Outcome second = runTresorio({"--data-dir", q(data), "daten"}, home.path());
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(std::filesystem::last_write_time(data / "Backup.bpf"), before);
    QThread::msleep(600);
    EXPECT_FALSE(reported()); // paused: neither the due profile nor the request runs
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROContinue"}, home.path()).exitCode, 0);
    EXPECT_TRUE(waitFor([this] { return reported(); }));
    copy.process().terminate(); // SIGTERM ends it cleanly
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_NE(ReadFileBytes(data / "settings.ini").find("Suspend=0"), std::string::npos);
}

TEST_F(RunningProgramTest, ACommandLineRunEndsWithItsStatus)
{
    writeProfile(false);
    Outcome o = runTresorio({"--data-dir", q(data), "Daten"}, home.path());
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_TRUE(reported());
    EXPECT_EQ(ReadFileBytes(dst / "a.txt"), "hallo");

    writeProfile(false, (home / "fehlt").string());
    o = runTresorio({"--data-dir", q(data), "Daten"}, home.path());
    EXPECT_EQ(o.exitCode, 1);
    // Without windows the question for the medium is answered with Cancel.
    WriteFileBytes(data / "Backup.bpf", ReadFileBytes(data / "Backup.bpf") + "CheckDestname=1\r\nDestName=XYZ\r\n");
    o = runTresorio({"--data-dir", q(data), "Daten"}, home.path());
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("Bitte Diskette mit dem Namen XYZ in Laufwerk"), std::string::npos) << o.err;
    o = runTresorio({"--data-dir", q(data), "Unbekannt"}, home.path());
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_NE(o.err.find("Unbekannt"), std::string::npos);
}

TEST_F(RunningProgramTest, SigtermEndsARunStuckOnAServerThatStoppedReading)
{
    QProcess server;
    server.start("/usr/bin/python3", {TRESORIO_STALLING_FTP_SERVER});
    ASSERT_TRUE(server.waitForReadyRead(10000));
    const std::string port = server.readLine().trimmed().toStdString();
    MakeFile(src / "gross.bin", Noise(8 << 20));
    WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Daten]\r\nSource=" + src.string() +
                                            "/\r\nWithsub=1\r\nDestination=sicherung\r\nPeriod=1\r\n"
                                            "Backuptype=1\r\nFTP=1\r\nFTPPassive=1\r\nFTPServer=127.0.0.1:" +
                                            port + "\r\nNetUser=anna\r\n");
    QProcess run;
    run.setProcessEnvironment(environmentFor(home.path()));
    run.start(TRESORIO_EXECUTABLE, {"--data-dir", q(data), "Daten"});
    ASSERT_TRUE(run.waitForStarted());
    QThread::msleep(2000); // the upload has stalled by now
    run.terminate();
    // Long before the stall limit: the transfer is interrupted, the report written.
    EXPECT_TRUE(run.waitForFinished(5000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(reported());
    EXPECT_NE(ReadFileBytes(data / "Backup.log").find("!!! Fehler    : Abbruch durch Benutzer"), std::string::npos);
    server.kill();
    server.waitForFinished();
}

// Two profiles for command-line runs; the first waits a moment before it begins.
void writeTwoProfiles(const std::filesystem::path& data, const std::filesystem::path& src,
                      const std::filesystem::path& dst)
{
    WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Erstes]\r\nSource=" + src.string() +
                                            "/\r\nWithsub=1\r\nDestination=" + (dst / "eins").string() +
                                            "/\r\nPeriod=1\r\nBackuptype=1\r\nRunBefore=sleep 2\r\n"
                                            "RunBeforeWait=1\r\n[Zweites]\r\nSource=" +
                                            src.string() + "/\r\nWithsub=1\r\nDestination=" + (dst / "zwei").string() +
                                            "/\r\nPeriod=1\r\nBackuptype=1\r\n");
}

TEST_F(RunningProgramTest, AStartThatHandsItsRunOverToACommandLineRunIsNeverLost)
{
    writeTwoProfiles(data, src, dst);
    QProcess first;
    first.setProcessEnvironment(environmentFor(home.path()));
    first.start(TRESORIO_EXECUTABLE, {"--data-dir", q(data), "Erstes"});
    ASSERT_TRUE(first.waitForStarted());
    QThread::msleep(500); // the first one holds the data folder and waits for its program
    const Outcome second = runTresorio({"--data-dir", q(data), "Zweites"}, home.path());
    EXPECT_EQ(second.exitCode, 0) << second.err;
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitCode(), 0);
    // The second run ran before the first copy ended.
    const std::string log = ReadFileBytes(data / "Backup.log");
    EXPECT_NE(log.find("Ende Profil           : Erstes"), std::string::npos) << log;
    EXPECT_NE(log.find("Ende Profil           : Zweites"), std::string::npos) << log;
    EXPECT_EQ(ReadFileBytes(dst / "zwei/a.txt"), "hallo");
}

TEST_F(RunningProgramTest, TwoStartsAtTheSameMomentBothRun)
{
    writeTwoProfiles(data, src, dst);
    QProcess first;
    QProcess second;
    for (QProcess* p : {&first, &second})
        p->setProcessEnvironment(environmentFor(home.path()));
    first.start(TRESORIO_EXECUTABLE, {"--data-dir", q(data), "Zweites"});
    second.start(TRESORIO_EXECUTABLE, {"--data-dir", q(data), "Erstes"});
    ASSERT_TRUE(first.waitForFinished(30000));
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    const std::string log = ReadFileBytes(data / "Backup.log");
    EXPECT_NE(log.find("Ende Profil           : Erstes"), std::string::npos) << log;
    EXPECT_NE(log.find("Ende Profil           : Zweites"), std::string::npos) << log;
}

TEST_F(RunningProgramTest, TheChannelOutlivesRunningOutOfDescriptors)
{
    writeProfile(false);
    // Few descriptors, and more connections that say nothing than it has.
    QProcess copy;
    copy.setProcessEnvironment(environmentFor(home.path()));
    copy.start("prlimit", {"--nofile=20:20", TRESORIO_EXECUTABLE, "--headless", "--data-dir", q(data)});
    ASSERT_TRUE(copy.waitForStarted());
    EXPECT_TRUE(channelReady(home.path()));
    const auto socketPath =
        QString::fromStdString(std::filesystem::directory_iterator(home / "run/tresorio")->path().string());
    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < 100; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(socketPath);
        idle.back()->waitForConnected(200);
    }
    idle.clear();
    // Listening again once the silent ones are gone: the stop command still arrives.
    bool stopped = false;
    for (int attempt = 0; attempt < 40 && !stopped; ++attempt) {
        stopped = runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode == 0;
        if (!stopped)
            QThread::msleep(250);
    }
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(copy.waitForFinished(10000));
    EXPECT_EQ(copy.exitCode(), 0);
}

TEST(ProgramTest, AProfileFileThatCannotBeReadIsKeptAndNeverSavedOver)
{
    // The user's data folder, with a profile file the user may not read (root's, mode 000).
    TempDir home;
    std::filesystem::permissions(home.path(), std::filesystem::perms::all);
    const auto data = home / "daten";
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(home / "run");
    ASSERT_TRUE(RunShell("chown -R 65534:65534 " + home.path().string()).first);
    const std::string profiles = "[Signature]\r\n\r\n\r\n[Wichtig]\r\nPeriod=1\r\n";
    WriteFileBytes(data / "Backup.bpf", profiles);
    ::chown((data / "Backup.bpf").c_str(), 0, 0);
    std::filesystem::permissions(data / "Backup.bpf", std::filesystem::perms::none);

    const Outcome list = runTresorio({"--data-dir", q(data), "--list"}, home.path(), true);
    EXPECT_EQ(list.exitCode, 1);
    QProcess copy;
    copy.setProcessEnvironment(environmentFor(home.path()));
    copy.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", TRESORIO_EXECUTABLE, "--headless",
                           "--data-dir", q(data)});
    ASSERT_TRUE(copy.waitForStarted());
    EXPECT_TRUE(channelReady(home.path()));
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path(), true).exitCode, 0);
    ASSERT_TRUE(copy.waitForFinished(10000));
    EXPECT_NE(copy.readAllStandardError().toStdString().find("kann nicht gelesen werden"), std::string::npos);
    // Neither replaced nor set aside.
    EXPECT_EQ(ReadFileBytes(data / "Backup.bpf"), profiles);
    EXPECT_FALSE(std::filesystem::exists(data / "Backup.bpf.bak"));
}

TEST_F(RunningProgramTest, MessagesTooLargeOrNeverFinishedAreDroppedQuietly)
{
    writeProfile(false);
    RunningCopy copy(home.path(), data);
    ASSERT_TRUE(channelReady(home.path()));
    const std::string socket = std::filesystem::directory_iterator(home / "run/tresorio")->path().string();
    // One far larger than any command, one that stops half way and says no more.
    ASSERT_TRUE(RunShell("python3 -c \"import socket,time\n"
                         "s=socket.socket(socket.AF_UNIX); s.connect('" +
                         socket +
                         "')\ntry: s.sendall(b'Message\\r\\nanna\\r\\nwerkbank\\r\\n'+b'x'*200000)\n"
                         "except OSError: pass\ns.close()\n"
                         "t=socket.socket(socket.AF_UNIX); t.connect('" +
                         socket + "'); t.sendall(b'Mess'); time.sleep(4); t.close()\"")
                    .first);
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
    const std::string err = copy.process().readAllStandardError().toStdString();
    EXPECT_EQ(err.find("QIODevice"), std::string::npos) << err;
    EXPECT_EQ(err.find("QLocalSocket"), std::string::npos) << err;
}

TEST_F(RunningProgramTest, ASecondStartFindsTheRunningCopyWhateverItCallsTheFolder)
{
    writeProfile(false);
    RunningCopy copy(home.path(), data);
    ASSERT_TRUE(channelReady(home.path()));
    std::filesystem::create_directory_symlink(data, home / "verweis");
    TempDir elsewhere; // another session: another runtime folder
    std::filesystem::create_directories(elsewhere / "run");
    std::filesystem::permissions(elsewhere / "run", std::filesystem::perms::owner_all);
    const struct
    {
        QString folder;
        std::filesystem::path home;
    } starts[] = {
        {q(data) + "/", home.path()},
        {q(home / "verweis"), home.path()},
        {q(data / ".." / "daten"), home.path()},
        {q(data), elsewhere.path()},
    };
    for (const auto& start : starts) {
        const Outcome o = runTresorio({"--data-dir", start.folder, "--send", "TRSROPause"}, start.home);
        EXPECT_EQ(o.exitCode, 0) << start.folder.toStdString() << " " << o.err;
        // And it is seen as the same folder: no second copy starts on it.
        const Outcome second = runTresorio({"--data-dir", start.folder, "--headless"}, start.home);
        EXPECT_EQ(second.exitCode, 0) << second.err;
        EXPECT_NE(second.err.find("läuft bereits"), std::string::npos) << second.err;
    }
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
}

TEST_F(RunningProgramTest, ALockThatCannotBeTakenIsReportedWithItsReason)
{
    writeProfile(false);
    std::filesystem::create_directory(data / "tresorio.lock"); // a folder where the lock should be
    for (const QStringList& arguments : {QStringList{"--headless"}, QStringList{"Daten"}}) {
        const Outcome o = runTresorio(QStringList{"--data-dir", q(data)} + arguments, home.path());
        EXPECT_EQ(o.exitCode, 1) << o.err;
        EXPECT_NE(o.err.find("kann nicht gesperrt werden"), std::string::npos) << o.err;
    }
    EXPECT_FALSE(reported());
}

TEST_F(RunningProgramTest, ProgramsBeforeTheRunStartWhereverTheirPathsPointAndTheirFailureIsNoted)
{
    std::filesystem::create_directories(home / "x");
    // The line's folder part ("touch HOME/x/") is no folder: the program runs in home.
    const std::string touch = "touch " + (home / "x/flag").string() + " erledigt";
    for (const auto& [before, note] : std::vector<std::pair<std::string, std::string>>{
             {touch, ""}, {"exit 3", "Hinweis: Programm vor der Sicherung \"exit 3\" endete mit Status 3\r\n"}}) {
        writeProfile(false);
        WriteFileBytes(data / "Backup.bpf",
                       ReadFileBytes(data / "Backup.bpf") + "RunBefore=" + before + "\r\nRunBeforeWait=1\r\n");
        std::filesystem::remove(data / "Backup.log");
        const Outcome o = runTresorio({"--data-dir", q(data), "Daten"}, home.path());
        EXPECT_EQ(o.exitCode, 0) << before << o.err; // a note, no error of the run
        const std::string log = ReadFileBytes(data / "Backup.log");
        EXPECT_EQ(log.find("Hinweis: Programm"), note.empty() ? std::string::npos : log.find(note)) << log;
        EXPECT_NE(log.find("Fehleranzahl          : 0\r\n"), std::string::npos) << log;
    }
    EXPECT_TRUE(std::filesystem::exists(home / "x/flag"));
    EXPECT_TRUE(std::filesystem::exists(home / "erledigt")); // made in home
}

TEST_F(RunningProgramTest, TheSessionWaitsForTheProfilesThatRunAtItsEnd)
{
    writeProfile(false);
    WriteFileBytes(data / "Backup.bpf", ReadFileBytes(data / "Backup.bpf") + "OnShutDown=1\r\n");
    FakeLogind logind(home.path());
    ASSERT_TRUE(logind.running());
    RunningCopy copy(home.path(), data, logind.asSystemBus());
    EXPECT_EQ(logind.next(), "inhibit shutdown:sleep|Tresorio|Profile, die beim Beenden sichern|delay");
    // Before sleep everything is written, then sleep may come; on waking it is held again.
    logind.send("sleep");
    EXPECT_EQ(logind.next(), "released");
    logind.send("wake");
    EXPECT_EQ(logind.next(), "inhibit shutdown:sleep|Tresorio|Profile, die beim Beenden sichern|delay");
    EXPECT_FALSE(reported());
    // The shutdown waits until the profile has run and everything is saved.
    logind.send("shutdown");
    EXPECT_EQ(logind.next(), "released");
    EXPECT_TRUE(reported());
    EXPECT_EQ(ReadFileBytes(dst / "sub/b.txt"), "welt");
    EXPECT_NE(ReadFileBytes(data / "Backup.bpf").find("FilesCount=2\r\n"), std::string::npos);
    EXPECT_EQ(copy.waitForExit(), 0);
    // Nothing but the run's line for the journal.
    EXPECT_EQ(copy.process().readAllStandardError().toStdString(),
              "<6>tresorio: Profil \"Daten\" ohne Fehler beendet\n");
}

TEST_F(RunningProgramTest, WithoutLogindTheProgramSaysSoOnceAndRunsAsBefore)
{
    writeProfile(false);
    {
        // Nothing to hold: nothing to say.
        RunningCopy copy(home.path(), data);
        ASSERT_TRUE(channelReady(home.path()));
        QThread::msleep(500);
        copy.process().terminate();
        EXPECT_EQ(copy.waitForExit(), 0);
        EXPECT_EQ(copy.process().readAllStandardError().toStdString(), "");
    }
    WriteFileBytes(data / "Backup.bpf", ReadFileBytes(data / "Backup.bpf") + "OnShutDown=1\r\n");
    // Paused: the run at the end goes through all the same.
    WriteFileBytes(data / "settings.ini", "[General]\nSuspend=1\n");
    RunningCopy copy(home.path(), data);
    ASSERT_TRUE(channelReady(home.path()));
    QThread::msleep(500); // a few ticks
    copy.process().terminate();
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_TRUE(reported());
    const std::string err = copy.process().readAllStandardError().toStdString();
    const std::string said = "Das Ende der Sitzung kann nicht aufgehalten werden (";
    EXPECT_NE(err.find(said), std::string::npos) << err;
    EXPECT_EQ(err.find(said), err.rfind(said)) << err;
}

TEST(ProgramTest, HelpVersionAndBadArguments)
{
    TempDir home;
    const Outcome help = runTresorio({"--help"}, home.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--data-dir"), std::string::npos);
    const Outcome version = runTresorio({"--version"}, home.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("Tresorio ", 0), 0u);
    const Outcome bad = runTresorio({"--frobnicate"}, home.path());
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("--frobnicate"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(home.path()));
}

} // namespace
