// What a script learns from the program, started as a process: a start with a profile name or a
// command hands it to the copy that runs on the data folder, and its exit status says whether
// that copy took it.

#include "ProgramProcess.h"
#include "RunningProgramTest.h"
#include "support/Shell.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <QThread>
#include <gtest/gtest.h>
#include <sstream>

namespace {

class ScriptAnswerTest : public RunningProgramTest
{
protected:
    Outcome start(const QStringList& arguments)
    {
        return runTresorio(QStringList{"--data-dir", q(data)} + arguments, home.path());
    }

    // "Daten" takes a while before it begins: its program before the run marks the start and
    // sleeps.
    void writeSlowProfile()
    {
        writeProfile(false);
        WriteFileBytes(data / "Backup.bpf", ReadFileBytes(data / "Backup.bpf") + "RunBefore=touch " +
                                                (home / "begonnen").string() + "; sleep 2\r\nRunBeforeWait=1\r\n");
    }
};

TEST_F(ScriptAnswerTest, AHandedOverRunIsAnsweredBeforeItRunsAndAnUnknownNameFails)
{
    writeSlowProfile();
    RunningCopy copy(home.path(), data);
    ASSERT_TRUE(channelReady(home.path()));

    Outcome o = start({"Unbekannt"});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_NE(o.err.find("Kein Profil mit dem Namen \"Unbekannt\"."), std::string::npos) << o.err;
    o = start({"--send", "TRSRORunProfileUnbekannt"});
    EXPECT_EQ(o.exitCode, 2) << o.err;
    o = start({"--send", "TRSROQuatsch"});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_NE(o.err.find("kennt den Befehl"), std::string::npos) << o.err;

    // Taken: the start ends once the copy has it, long before the run's end.
    o = start({"daten"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_FALSE(reported());
    // While it runs, another request for it is not taken: the running copy never runs it twice.
    ASSERT_TRUE(waitFor([this] { return std::filesystem::exists(home / "begonnen"); }));
    o = start({"Daten"});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("läuft gerade"), std::string::npos) << o.err;
    EXPECT_TRUE(waitFor([this] { return reported(); }));

    EXPECT_EQ(start({"--send", "TRSROStop"}).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_EQ(start({"--send", "TRSROStop"}).exitCode, 1); // nobody listens any more
}

TEST_F(ScriptAnswerTest, ANameWithACommandWordIsOnlyAName)
{
    WriteFileBytes(data / "Backup.bpf",
                   "[Signature]\r\n\r\n\r\n[Nachts TRSROStop TRSROPause]\r\nSource=" + src.string() +
                       "/\r\nWithsub=1\r\nDestination=" + dst.string() + "/\r\nPeriod=1\r\nBackuptype=1\r\n");
    RunningCopy copy(home.path(), data);
    ASSERT_TRUE(channelReady(home.path()));
    // Neither stopped nor paused: the copy runs the profile and goes on.
    const Outcome o = start({"Nachts TRSROStop TRSROPause"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_TRUE(waitFor([this] {
        return ReadFileBytes(data / "Backup.log").find("Ende Profil           : Nachts TRSROStop TRSROPause") !=
               std::string::npos;
    }));
    // A name whose second line would read as a command is no profile's name and is never sent.
    EXPECT_EQ(start({"Nachts\nTRSROStop"}).exitCode, 2);
    EXPECT_EQ(copy.process().state(), QProcess::Running);
    EXPECT_EQ(start({"--send", "TRSROStop"}).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_NE(ReadFileBytes(data / "settings.ini").find("Suspend=0"), std::string::npos);
}

TEST_F(ScriptAnswerTest, ACopiedLockFileNeverReachesTheCopyOfTheOriginalFolder)
{
    writeProfile(false);
    RunningCopy copy(home.path(), data);
    ASSERT_TRUE(channelReady(home.path()));
    // A copy of the data folder, lock file and all, as cp -a or a restore makes it.
    const auto copied = home / "kopie";
    ASSERT_TRUE(RunShell("cp -a " + data.string() + " " + copied.string()).first);
    ASSERT_NE(ReadFileBytes(copied / "tresorio.lock"), "");
    for (const QString& command : {QString("TRSROStop"), QString("TRSRORunProfileDaten"), QString("TRSROPause")}) {
        const Outcome o = runTresorio({"--data-dir", q(copied), "--send", command}, home.path());
        EXPECT_EQ(o.exitCode, 1) << command.toStdString();
        EXPECT_NE(o.err.find("läuft kein Tresorio"), std::string::npos) << o.err;
    }
    EXPECT_EQ(copy.process().state(), QProcess::Running);
    EXPECT_FALSE(reported());
    // The original folder's copy still answers, unpaused.
    EXPECT_EQ(start({"daten"}).exitCode, 0);
    EXPECT_TRUE(waitFor([this] { return reported(); }));
    EXPECT_EQ(start({"--send", "TRSROStop"}).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
}

TEST_F(ScriptAnswerTest, APauseSentToACommandLineRunEndsWithIt)
{
    writeSlowProfile();
    {
        RunningCopy run(home.path(), data, {}, {"--headless", "Daten"});
        ASSERT_TRUE(waitFor([this] { return std::filesystem::exists(home / "begonnen"); }));
        EXPECT_EQ(start({"--send", "TRSROPause"}).exitCode, 0);
        run.process().terminate(); // the paused run ends as cancelled
        EXPECT_EQ(run.waitForExit(), 1);
    }
    EXPECT_NE(ReadFileBytes(data / "settings.ini").find("Suspend=0"), std::string::npos);
    // The next scheduler is not paused: a due profile runs.
    std::filesystem::remove(data / "Backup.log");
    writeProfile(true);
    RunningCopy copy(home.path(), data);
    EXPECT_TRUE(waitFor([this] { return reported(); }));
    EXPECT_EQ(start({"--send", "TRSROStop"}).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
}

// The processor time a process has used so far, in clock ticks.
long cpuTicks(qint64 pid)
{
    const std::string stat = ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i >= 14)
            ticks += std::stol(field);
    return ticks;
}

TEST_F(ScriptAnswerTest, APauseHoldsAnArchiveBeingWritten)
{
    // Enough that cannot be compressed for the archive to take a few seconds.
    for (int i = 0; i < 24; ++i)
        MakeFile(src / ("rauschen" + std::to_string(i) + ".bin"), Noise(1 << 20, static_cast<unsigned>(i)));
    WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Daten]\r\nSource=" + src.string() +
                                            "/\r\nWithsub=1\r\nDestination=" + dst.string() +
                                            "/\r\nPeriod=1\r\nBackuptype=1\r\nCompress=1\r\nZipfile=a.zip\r\n"
                                            "CompLev=1\r\nCompLevel=9\r\n");
    RunningCopy run(home.path(), data, {}, {"--headless", "Daten"});
    // The archive is being written once its work folder stands in the destination.
    ASSERT_TRUE(waitFor([this] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(dst, error))
            if (entry.path().filename().string().rfind(".tresorio-", 0) == 0)
                return true;
        return false;
    }));
    EXPECT_EQ(start({"--send", "TRSROPause"}).exitCode, 0);
    QThread::msleep(500); // what was under way comes to its next question
    const long before = cpuTicks(run.process().processId());
    QThread::msleep(2000);
    const long held = cpuTicks(run.process().processId()) - before;
    EXPECT_LT(held, 30) << "ticks used while paused"; // compressing would take two cores' worth
    EXPECT_EQ(run.process().state(), QProcess::Running);
    EXPECT_EQ(start({"--send", "TRSROContinue"}).exitCode, 0);
    EXPECT_EQ(run.waitForExit(120000), 0); // a busy machine compresses slowly
    const auto [ok, listing] = RunShell("unzip -tq " + (dst / "a.zip").string());
    EXPECT_TRUE(ok) << listing;
}

TEST_F(ScriptAnswerTest, ARunWhoseReportIsLostFails)
{
    writeProfile(false);
    // A full disk, and a log that cannot be a file.
    for (const bool full : {true, false}) {
        std::filesystem::remove_all(data / "Backup.log");
        if (full)
            std::filesystem::create_symlink("/dev/full", data / "Backup.log");
        else
            std::filesystem::create_directory(data / "Backup.log");
        const Outcome o = start({"Daten"});
        EXPECT_EQ(o.exitCode, 1) << full;
        EXPECT_NE(o.err.find("Backup.log kann nicht geschrieben werden"), std::string::npos) << o.err;
        EXPECT_EQ(ReadFileBytes(dst / "a.txt"), "hallo"); // the run itself went well
    }
}

} // namespace
