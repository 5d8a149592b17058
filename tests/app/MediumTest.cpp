// Media mounted anywhere, by the desktop, by fstab or by hand: the real program remembers where
// a destination's medium was and never fills the disk below its empty mount point.

#include "ProgramProcess.h"
#include "support/TempDir.h"
#include "support/TestMount.h"
#include "support/TreeBuilder.h"

#include <gtest/gtest.h>

namespace {

class MediumTest : public ::testing::Test
{
protected:
    TempDir home;
    std::filesystem::path data = home / "daten";
    std::filesystem::path src = home / "quelle";
    std::filesystem::path mountPoint = home / "sicherungsplatte"; // neither below /media nor /mnt
    std::filesystem::path dst = mountPoint / "sicherung";

    MediumTest()
    {
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(home / "run");
        MakeFile(src / "a.txt", "a");
        WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Platte]\r\nSource=" + src.string() +
                                                "/\r\nWithsub=1\r\nDestination=" + dst.string() +
                                                "/\r\nPeriod=2\r\nHours=1\r\nBackuptype=1\r\nGenerations=1\r\n");
    }

    Outcome run() { return runTresorio({"--data-dir", q(data), "Platte"}, home.path()); }
    std::string log() { return ReadFileBytes(data / "Backup.log"); }
};

TEST_F(MediumTest, AMediumOnceUsedIsWaitedForWhereverItsMountPointLies)
{
    auto first = TestMount::Ext4Image(home / "erste.img", mountPoint);
    if (!first)
        GTEST_SKIP() << "no loop devices here";
    const Outcome plugged = run();
    ASSERT_EQ(plugged.exitCode, 0) << plugged.err << log();
    EXPECT_EQ(ReadFileBytes(dst / "a.txt"), "a");

    // Not plugged in: nothing is written to the disk that holds the mount point.
    first->Unmount();
    MakeFile(src / "b.txt", "b");
    const Outcome unplugged = run();
    EXPECT_EQ(unplugged.exitCode, 1) << unplugged.err;
    EXPECT_TRUE(std::filesystem::is_empty(mountPoint));
    EXPECT_NE(log().find("!!! Fehler    : Ziel " + dst.string() + "/ derzeit nicht verfügbar\r\n"), std::string::npos)
        << log();
    EXPECT_NE(log().find("(21 - Medium nicht eingehängt unter " + mountPoint.string() + "/)"), std::string::npos);
    EXPECT_NE(log().find("Neuerlicher Start um 10 Minuten verschoben"), std::string::npos);

    // A second medium used in turn at the same place is a medium like the first.
    auto second = TestMount::Tmpfs(mountPoint);
    ASSERT_TRUE(second);
    const Outcome other = run();
    EXPECT_EQ(other.exitCode, 0) << other.err << log();
    EXPECT_EQ(ReadFileBytes(dst / "b.txt"), "b");
    second->Unmount();
    EXPECT_EQ(run().exitCode, 1);
    EXPECT_TRUE(std::filesystem::is_empty(mountPoint));

    // Back again: the first medium is used as before.
    first = TestMount::Ext4Image(home / "erste.img", mountPoint);
    ASSERT_TRUE(first);
    EXPECT_EQ(run().exitCode, 0) << log();
    EXPECT_EQ(ReadFileBytes(dst / "b.txt"), "b");
}

TEST_F(MediumTest, ADestinationMovedOffTheMediumInTheWizardIsUsed)
{
    // The remembered medium belongs to the destination it was found for: a profile whose
    // destination is now a plain folder runs, the first time as every time.
    const std::string profile = ReadFileBytes(data / "Backup.bpf");
    WriteFileBytes(data / "Backup.bpf", profile + "DestFileSystem=UUID=0000\r\nDestMountPoint=/anderswo/\r\n");
    const Outcome o = run();
    EXPECT_EQ(o.exitCode, 0) << o.err << log();
    EXPECT_EQ(ReadFileBytes(dst / "a.txt"), "a");
}

TEST_F(MediumTest, LeftoversOfAKilledRunWaitForTheirMedium)
{
    auto a = TestMount::Ext4Image(home / "a.img", mountPoint);
    if (!a)
        GTEST_SKIP() << "no loop devices here";
    MakeFile(src / "gross.bin", Noise(4 << 20));
    // Killed while its copy is half made on medium A.
    const Outcome killed =
        runTresorioUnder({"strace", "-f", "-qq", "-o", "/dev/null", "-e", "inject=copy_file_range:signal=SIGKILL"},
                         {"--data-dir", q(data), "Platte"}, home.path());
    if (killed.err.find("strace:") != std::string::npos)
        GTEST_SKIP() << "strace cannot trace here";
    auto leftoversOn = [this] {
        int found = 0;
        for (const std::string& name : TreeOf(dst))
            found += name.find(".tresorio-") != std::string::npos ? 1 : 0;
        return found;
    };
    ASSERT_GE(leftoversOn(), 1) << testing::PrintToString(TreeOf(dst));
    auto notes = [this] {
        int found = 0;
        for (const std::string& name : TreeOf(data))
            found += name.rfind(".tresorio-lauf-", 0) == 0 ? 1 : 0;
        return found;
    };

    // The next run goes to medium B: what waits on A stays noted.
    a->Unmount();
    auto b = TestMount::Tmpfs(mountPoint, "64m");
    ASSERT_TRUE(b);
    ASSERT_EQ(run().exitCode, 0) << log();
    EXPECT_EQ(leftoversOn(), 0);
    EXPECT_EQ(notes(), 1);

    // A comes back: its leftovers go, and so does the note.
    b->Unmount();
    a = TestMount::Ext4Image(home / "a.img", mountPoint);
    ASSERT_TRUE(a);
    ASSERT_EQ(run().exitCode, 0) << log();
    EXPECT_EQ(leftoversOn(), 0) << testing::PrintToString(TreeOf(dst));
    EXPECT_EQ(ReadFileBytes(dst / "gross.bin"), Noise(4 << 20));
    EXPECT_EQ(notes(), 0);
    EXPECT_NE(log().find(" Reste eines abgebrochenen Laufs entfernt"), std::string::npos) << log();
}

} // namespace
