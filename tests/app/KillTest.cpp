// The real program killed at each rename and each deletion of a run (strace injects SIGKILL at the
// n-th such call of a thread): after one clean run, nothing that was there before is lost.

#include "ProgramProcess.h"
#include "support/Shell.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <gtest/gtest.h>

namespace {

class KillTest : public ::testing::Test
{
protected:
    TempDir home;
    std::filesystem::path data = home / "daten";
    std::filesystem::path src = home / "quelle";
    std::filesystem::path dst = home / "ziel";

    KillTest()
    {
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(home / "run");
    }

    void writeProfile(const std::string& name, const std::string& keys)
    {
        WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[" + name + "]\r\nSource=" + src.string() +
                                                "/\r\nWithsub=1\r\nDestination=" + dst.string() + "/\r\nPeriod=1\r\n" +
                                                keys);
    }

    // Runs the profile killed at the n-th call of one of syscalls in a thread; false when strace
    // cannot trace here.
    bool runKilled(const QString& profile, const std::string& syscalls, int n)
    {
        const QString inject =
            QString::fromStdString("inject=" + syscalls + ":signal=SIGKILL:when=" + std::to_string(n));
        const Outcome o = runTresorioUnder({"strace", "-f", "-qq", "-o", "/dev/null", "-e", inject},
                                           {"--data-dir", q(data), profile}, home.path());
        return o.err.find("strace:") == std::string::npos;
    }

    std::vector<std::string> leftovers()
    {
        std::vector<std::string> names;
        for (const std::string& name : TreeOf(dst))
            if (name.find(".tresorio-") != std::string::npos)
                names.push_back(name);
        return names;
    }
};

const char* const Renames = "rename,renameat,renameat2";
const char* const Deletions = "unlink,unlinkat,rmdir";

TEST_F(KillTest, AKilledRotationNeverCostsAVersion)
{
    // The current copy and three older versions. With five generations one more run loses none
    // of them, even when the killed run had put its copy in place already (which the clean run
    // then takes again); with three the oldest makes room as every rotation does, never more.
    const auto version = [this](int n) { return dst / ("Generation." + std::to_string(n)) / "a.txt"; };
    const std::vector<std::string> all = {"v4", "v3", "v2", "v1", "v0"};
    for (const int generations : {5, 3}) {
        writeProfile("Versionen", "Backuptype=1\r\nGenerations=" + std::to_string(generations) + "\r\n");
        for (const char* syscalls : {Renames, Deletions}) {
            for (int n = 1; n <= 9; ++n) {
                const std::string what =
                    std::to_string(generations) + " generations, " + syscalls + " #" + std::to_string(n);
                std::filesystem::remove_all(dst);
                MakeFile(src / "a.txt", "v4");
                MakeFile(dst / "a.txt", "v3");
                MakeFile(version(1), "v2");
                MakeFile(version(2), "v1");
                MakeFile(version(3), "v0");
                if (!runKilled("Versionen", syscalls, n))
                    GTEST_SKIP() << "strace cannot trace here";
                const Outcome clean = runTresorio({"--data-dir", q(data), "Versionen"}, home.path());
                ASSERT_EQ(clean.exitCode, 0) << what << clean.err;
                // The versions in order, newest first, without a hole; the new copy may stand twice.
                std::vector<std::string> versions = {ReadFileBytes(dst / "a.txt")};
                for (int g = 1; g <= generations && std::filesystem::exists(version(g)); ++g)
                    versions.push_back(ReadFileBytes(version(g)));
                EXPECT_FALSE(std::filesystem::exists(version(static_cast<int>(versions.size())))) << what;
                if (versions.size() > 1 && versions[1] == "v4")
                    versions.erase(versions.begin());
                const std::size_t kept = generations == 5 ? 5 : 3;
                ASSERT_GE(versions.size(), kept) << what;
                EXPECT_EQ(versions, std::vector<std::string>(all.begin(), all.begin() + versions.size())) << what;
                EXPECT_EQ(leftovers(), std::vector<std::string>{}) << what;
            }
        }
    }
}

TEST_F(KillTest, AKilledCommitOfNewVolumesLeavesOneCompleteSet)
{
    writeProfile("Teile", "Backuptype=1\r\nCompress=1\r\nZipfile=teil.zip\r\nDiskSpan=1\r\nMaxVolumeSize=100000\r\n");
    MakeFile(src / "gross.bin", Noise(300'000, 1));
    ASSERT_EQ(runTresorio({"--data-dir", q(data), "Teile"}, home.path()).exitCode, 0);
    const auto readable = [this] { return RunShell("7z t " + (dst / "teil.zip").string()).first; };
    ASSERT_TRUE(readable());
    for (const char* syscalls : {Renames, Deletions}) {
        for (int n = 1; n <= 16; ++n) {
            const std::string what = std::string(syscalls) + " #" + std::to_string(n);
            MakeFile(src / "gross.bin", Noise(300'000 + static_cast<std::size_t>(n) * 1000, static_cast<unsigned>(n)));
            if (!runKilled("Teile", syscalls, n))
                GTEST_SKIP() << "strace cannot trace here";
            // The next run writes no new set (its source is gone): what the killed one began is
            // finished or undone, and one complete set is there.
            std::filesystem::rename(src, home / "weg");
            const Outcome next = runTresorio({"--data-dir", q(data), "Teile"}, home.path());
            std::filesystem::rename(home / "weg", src);
            EXPECT_EQ(next.exitCode, 1) << what;
            EXPECT_TRUE(readable()) << what << " " << testing::PrintToString(TreeOf(dst));
            EXPECT_EQ(leftovers(), std::vector<std::string>{}) << what;
        }
    }
}

} // namespace
