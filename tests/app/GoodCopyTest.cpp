// What a failing run leaves of the last good copy: the real program, run as an ordinary user
// (permissions count for it), on a real tree.

#include "ProgramProcess.h"
#include "support/Shell.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <QProcess>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

const std::string GoodCopy = "die gute Kopie vom letzten Mal";
const std::string OlderCopy = "die Kopie davor";

class GoodCopyTest : public ::testing::Test
{
protected:
    TempDir home;
    std::filesystem::path data = home / "daten";
    std::filesystem::path src = home / "quelle";
    std::filesystem::path dst = home / "ziel";

    GoodCopyTest()
    {
        std::filesystem::permissions(home.path(), std::filesystem::perms::all);
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(home / "run");
        std::filesystem::create_directories(dst);
    }

    void writeProfile(int generations, bool destErase)
    {
        WriteFileBytes(data / "Backup.bpf",
                       "[Signature]\r\n\r\n\r\n[Daten]\r\nSource=" + src.string() +
                           "/\r\nWithsub=1\r\nDestination=" + dst.string() +
                           "/\r\nPeriod=1\r\nBackuptype=1\r\nGenerations=" + std::to_string(generations) +
                           "\r\nDestErase=" + (destErase ? "1" : "0") + "\r\n");
    }

    // The destination holds a good copy and, with generations, an older one.
    void fillDestination(int generations)
    {
        MakeFile(dst / "a.txt", GoodCopy);
        if (generations > 1)
            MakeFile(dst / "Generation.1/a.txt", OlderCopy);
    }

    void handToNobody() { ASSERT_TRUE(RunShell("chown -R 65534:65534 " + home.path().string()).first); }

    std::string log() { return ReadFileBytes(data / "Backup.log"); }
};

TEST_F(GoodCopyTest, AFailureOnEitherSideLeavesTheLastGoodCopyByteForByte)
{
    struct Case
    {
        const char* what;
        std::function<void()> breakIt; // after the tree belongs to nobody
        bool destErase = false;
    };
    const Case cases[] = {
        {"unreadable source file", [this] { std::filesystem::permissions(src / "a.txt", {}); }},
        {"source folder gone", [this] { std::filesystem::remove_all(src); }},
        {"source file replaced by a folder",
         [this] {
             std::filesystem::remove(src / "a.txt");
             MakeFile(src / "a.txt/drin.txt", "x");
             RunShell("chown -R 65534:65534 " + src.string());
         }},
        {"read-only destination folder", [this] { RunShell("chmod -R a-w " + dst.string()); }},
        {"unreadable source folder with the destination to be emptied",
         [this] { std::filesystem::permissions(src, {}); }, true},
        {"gone source folder with the destination to be emptied", [this] { std::filesystem::remove_all(src); }, true},
    };
    for (const int generations : {1, 3}) {
        for (const Case& c : cases) {
            const std::string what = std::string(c.what) + ", generations " + std::to_string(generations);
            std::filesystem::remove_all(src);
            RunShell("chmod -R u+w " + dst.string());
            std::filesystem::remove_all(dst);
            std::filesystem::remove(data / "Backup.log");
            MakeFile(src / "a.txt", "der neue Inhalt");
            MakeFile(src / "b.txt", "b");
            fillDestination(generations);
            writeProfile(generations, c.destErase);
            handToNobody();
            c.breakIt();

            const Outcome o = runTresorio({"--data-dir", q(data), "Daten"}, home.path(), true);
            EXPECT_EQ(o.exitCode, 1) << what << "\n" << o.err << log();
            EXPECT_EQ(ReadFileBytes(dst / "a.txt"), GoodCopy) << what;
            if (generations > 1) {
                EXPECT_EQ(ReadFileBytes(dst / "Generation.1/a.txt"), OlderCopy) << what;
            }
            EXPECT_NE(log().find("!!! Fehler    : "), std::string::npos) << what << "\n" << log();
            EXPECT_EQ(log().find("Fehleranzahl          : 0"), std::string::npos) << what;
        }
    }
}

TEST_F(GoodCopyTest, AFullDiskLeavesTheLastGoodCopy)
{
    if (!RunShell("mount -t tmpfs -o size=64k,mode=0777 tmpfs " + dst.string() + " 2>&1").first)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount
    {
        std::string path;
        ~Unmount() { RunShell("umount " + path); }
    } unmount{dst.string()};
    fillDestination(3);
    MakeFile(src / "a.txt", Noise(1 << 20)); // far more than the medium holds
    writeProfile(3, false);
    handToNobody();
    const Outcome o = runTresorio({"--data-dir", q(data), "Daten"}, home.path(), true);
    EXPECT_EQ(o.exitCode, 1) << o.err << log();
    EXPECT_EQ(ReadFileBytes(dst / "a.txt"), GoodCopy);
    EXPECT_EQ(ReadFileBytes(dst / "Generation.1/a.txt"), OlderCopy);
    EXPECT_NE(log().find("!!! Fehler    : copying a.txt (112 - "), std::string::npos) << log();
}

TEST_F(GoodCopyTest, AKilledRunLeavesEitherTheOldOrTheNewCopyWhole)
{
    // Killed at different moments of copying a large file: never a torn copy, never a lost
    // generation.
    const std::string fresh = Noise(8 << 20);
    for (const int afterMs : {0, 30, 100}) {
        std::filesystem::remove_all(dst);
        fillDestination(3);
        MakeFile(src / "a.txt", fresh);
        writeProfile(3, false);
        handToNobody();
        QProcess run;
        run.setProcessEnvironment(environmentFor(home.path()));
        run.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", TRESORIO_EXECUTABLE, "--data-dir",
                              q(data), "Daten"});
        ASSERT_TRUE(run.waitForStarted());
        QThread::msleep(static_cast<unsigned long>(afterMs));
        ::kill(static_cast<pid_t>(run.processId()), SIGKILL);
        run.waitForFinished();
        const std::string now = ReadFileBytes(dst / "a.txt");
        EXPECT_TRUE(now == GoodCopy || now == fresh) << afterMs << " ms: " << now.size() << " bytes";
        const std::string older = ReadFileBytes(dst / "Generation.1/a.txt");
        EXPECT_TRUE(older == OlderCopy || (now == fresh && older == GoodCopy)) << afterMs << " ms";
        // The next run clears what the killed one left.
        const Outcome again = runTresorio({"--data-dir", q(data), "Daten"}, home.path(), true);
        EXPECT_EQ(again.exitCode, 0) << again.err;
        EXPECT_EQ(ReadFileBytes(dst / "a.txt"), fresh);
        for (const std::string& name : TreeOf(dst))
            EXPECT_EQ(name.find(".tresorio-"), std::string::npos) << afterMs << " ms: " << name;
    }
}

TEST_F(GoodCopyTest, AKilledArchiveUpdateLeavesTheArchiveAndTheNextRunClearsUp)
{
    const auto work = home / "arbeit";
    std::filesystem::create_directories(work);
    WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Archiv]\r\nSource=" + src.string() +
                                            "/\r\nWithsub=1\r\nDestination=" + dst.string() +
                                            "/\r\nPeriod=1\r\nBackuptype=5\r\nArchive=1\r\nCompress=1\r\n"
                                            "Zipfile=sicherung.zip\r\nTempDir=1\r\nTempDirName=" +
                                            work.string() + "\r\n");
    MakeFile(src / "erste.bin", Noise(4 << 20, 1));
    handToNobody();
    ASSERT_EQ(runTresorio({"--data-dir", q(data), "Archiv"}, home.path(), true).exitCode, 0);
    const std::string before = ReadFileBytes(dst / "sicherung.zip");
    for (const int afterMs : {30, 100, 250}) {
        MakeFile(src / ("neu" + std::to_string(afterMs) + ".bin"), Noise(12 << 20, static_cast<unsigned>(afterMs)));
        handToNobody();
        QProcess run;
        run.setProcessEnvironment(environmentFor(home.path()));
        run.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", TRESORIO_EXECUTABLE, "--data-dir",
                              q(data), "Archiv"});
        ASSERT_TRUE(run.waitForStarted());
        QThread::msleep(static_cast<unsigned long>(afterMs));
        ::kill(static_cast<pid_t>(run.processId()), SIGKILL);
        run.waitForFinished();
        EXPECT_TRUE(RunShell("unzip -tq " + (dst / "sicherung.zip").string()).first) << afterMs << " ms";
    }
    const Outcome again = runTresorio({"--data-dir", q(data), "Archiv"}, home.path(), true);
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(ReadFileBytes(dst / "sicherung.zip"), before);
    EXPECT_TRUE(RunShell("unzip -tq " + (dst / "sicherung.zip").string()).first);
    EXPECT_EQ(TreeOf(dst), (std::vector<std::string>{"sicherung.zip"}));
    EXPECT_TRUE(TreeOf(work).empty()) << testing::PrintToString(TreeOf(work));
    // An archive holds what its files held: its owner's alone.
    EXPECT_EQ(std::filesystem::status(dst / "sicherung.zip").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// A medium below /mnt that is not plugged in leaves an empty folder of the system disk behind.
class UnpluggedMediumTest : public ::testing::Test
{
protected:
    TempDir home;
    std::filesystem::path data = home / "daten";
    std::filesystem::path src = home / "quelle";
    std::filesystem::path mountPoint;

    UnpluggedMediumTest()
    {
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(home / "run");
        std::error_code error;
        mountPoint = std::filesystem::path("/mnt") / home.path().filename() / "stick";
        std::filesystem::create_directories(mountPoint, error);
    }
    ~UnpluggedMediumTest() override
    {
        RunShell("umount -l " + mountPoint.string() + " 2>/dev/null");
        std::error_code error;
        std::filesystem::remove_all(mountPoint.parent_path(), error);
    }

    void writeProfile()
    {
        WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Stick]\r\nSource=" + src.string() +
                                                "/\r\nWithsub=1\r\nDestination=" + (mountPoint / "sicherung").string() +
                                                "/\r\nPeriod=2\r\nHours=1\r\nBackuptype=1\r\nGenerations=1\r\n");
    }
};

TEST_F(UnpluggedMediumTest, IsReportedAndNeverFilledOnTheSystemDisk)
{
    if (!std::filesystem::is_directory(mountPoint))
        GTEST_SKIP() << "no folder can be made below /mnt here";
    MakeFile(src / "a.txt", "a");
    writeProfile();
    const Outcome o = runTresorio({"--data-dir", q(data), "Stick"}, home.path());
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_TRUE(std::filesystem::is_empty(mountPoint));
    const std::string log = ReadFileBytes(data / "Backup.log");
    EXPECT_NE(log.find("!!! Fehler    : Ziel " + (mountPoint / "sicherung").string() + "/ derzeit nicht verfügbar"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Neuerlicher Start um 10 Minuten verschoben"), std::string::npos) << log;
}

TEST_F(UnpluggedMediumTest, TakenAwayDuringTheRunStopsTheRun)
{
    if (!std::filesystem::is_directory(mountPoint) ||
        !RunShell("mount -t tmpfs -o size=64m tmpfs " + mountPoint.string() + " 2>&1").first)
        GTEST_SKIP() << "no tmpfs can be mounted below /mnt here";
    for (int i = 0; i < 4000; ++i)
        MakeFile(src / ("ordner" + std::to_string(i / 20)) / ("datei" + std::to_string(i)), std::string(4096, 'x'));
    writeProfile();
    QProcess run;
    run.setProcessEnvironment(environmentFor(home.path()));
    run.start(TRESORIO_EXECUTABLE, {"--data-dir", q(data), "Stick"});
    ASSERT_TRUE(run.waitForStarted());
    // Pulled out once the first folders are on it.
    const auto first = mountPoint / "sicherung/ordner3";
    for (int i = 0; i < 20000 && !std::filesystem::exists(first); ++i)
        QThread::usleep(500);
    ASSERT_TRUE(RunShell("umount -l " + mountPoint.string()).first);
    ASSERT_TRUE(run.waitForFinished(60000));
    if (ReadFileBytes(data / "Backup.log").find("Anzahl kopiert        : 4000") != std::string::npos)
        GTEST_SKIP() << "the run was over before the medium could be taken away";
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(std::filesystem::is_empty(mountPoint));
    EXPECT_NE(ReadFileBytes(data / "Backup.log").find("ist nicht mehr verfügbar: der Lauf wurde beendet"),
              std::string::npos)
        << ReadFileBytes(data / "Backup.log");
}

// A file that is written while it is moved to another file system loses nothing.
TEST_F(GoodCopyTest, AMoveToAnotherDiskNeverLosesWhatIsWrittenMeanwhile)
{
    if (!RunShell("mount -t tmpfs -o size=64m tmpfs " + dst.string() + " 2>&1").first)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount
    {
        std::string path;
        ~Unmount() { RunShell("umount " + path); }
    } unmount{dst.string()};
    WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Umzug]\r\nSource=" + src.string() +
                                            "/\r\nWithsub=1\r\nDestination=" + dst.string() +
                                            "/\r\nPeriod=1\r\nBackuptype=4\r\n");
    struct Writer
    {
        const char* how;
        const char* program; // appends "N\n" to argv[1] for about two seconds
    };
    const Writer writers[] = {
        {"keeps the file open",
         "import sys,time\nf=open(sys.argv[1],'a',buffering=1)\nfor i in range(2000):\n f.write('%d\\n'%i)\n "
         "time.sleep(0.001)\n"},
        {"opens it for every line",
         "import sys,time\nfor i in range(2000):\n with open(sys.argv[1],'a') as f: f.write('%d\\n'%i)\n "
         "time.sleep(0.001)\n"},
    };
    for (const Writer& w : writers) {
        std::filesystem::remove_all(src);
        RunShell("rm -rf " + dst.string() + "/*");
        MakeFile(src / "fertig.txt", "bleibt nicht");
        MakeFile(src / "protokoll.txt", "");
        QProcess writer;
        writer.start("python3", {"-c", w.program, q(src / "protokoll.txt")});
        ASSERT_TRUE(writer.waitForStarted());
        QThread::msleep(300);
        const Outcome o = runTresorio({"--data-dir", q(data), "Umzug"}, home.path());
        ASSERT_TRUE(writer.waitForFinished(30000));
        EXPECT_EQ(ReadFileBytes(dst / "fertig.txt"), "bleibt nicht") << w.how;
        // Every line is in the file that stayed or in the copy.
        const std::string stayed =
            std::filesystem::exists(src / "protokoll.txt") ? ReadFileBytes(src / "protokoll.txt") : "";
        const std::string moved =
            std::filesystem::exists(dst / "protokoll.txt") ? ReadFileBytes(dst / "protokoll.txt") : "";
        for (int i = 0; i < 2000; ++i) {
            const std::string line = std::to_string(i) + "\n";
            const bool found = (stayed.rfind(line, 0) == 0 || stayed.find("\n" + line) != std::string::npos) ||
                               (moved.rfind(line, 0) == 0 || moved.find("\n" + line) != std::string::npos);
            ASSERT_TRUE(found) << w.how << ": line " << i << " lost; exit " << o.exitCode;
        }
    }
}

} // namespace
