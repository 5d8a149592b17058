// Runs on real files among real mounts: a medium, a tmpfs or a folder bind-mounted into the
// destination or the source is another place, which no run may empty, move or delete.

#include "platform/posix/PosixFileSystem.h"
#include "support/EngineRun.h"
#include "support/TestMount.h"
#include "support/TreeBuilder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

bool HasLine(const RunResult& r, const std::string& line)
{
    return std::find(r.logLines.begin(), r.logLines.end(), line) != r.logLines.end();
}

bool HasLineStarting(const RunResult& r, const std::string& start)
{
    return std::any_of(r.logLines.begin(), r.logLines.end(),
                       [&](const std::string& line) { return line.rfind(start, 0) == 0; });
}

class MountsTest : public EngineRun
{
protected:
    std::filesystem::path elsewhere = dir / "dokumente"; // what a bind mount shows in the tree
    PosixFileSystem files;
    std::vector<std::unique_ptr<TestMount>> mounts; // gone before the folders are removed

    MountsTest()
    {
        platform.now = 37626.5;
        MakeFile(elsewhere / "brief.txt", "der einzige Brief");
    }
    ~MountsTest() override { mounts.clear(); }

    // Mounts kind ("bind" of elsewhere, or "tmpfs" holding a file of its own) at at; false when
    // the sandbox allows no mounts.
    bool mount(const std::string& kind, const std::filesystem::path& at)
    {
        auto m = kind == "bind" ? TestMount::Bind(elsewhere, at) : TestMount::Tmpfs(at);
        if (!m)
            return false;
        if (kind == "tmpfs")
            MakeFile(at / "brief.txt", "der einzige Brief");
        mounts.push_back(std::move(m));
        return true;
    }

    RunResult run(const TProfile& p) { return EngineRun::run(files, p); }
};

TEST_F(MountsTest, EmptyingTheDestinationNeverReachesIntoAMount)
{
    struct Case
    {
        const char* kind;
        const char* at; // below the destination
        bool compress;
    };
    const Case cases[] = {
        {"bind", "x", false},    {"tmpfs", "x", false}, {"bind", "a/b/x", false},
        {"tmpfs", "a/x", false}, {"bind", "a/x", true}, {"tmpfs", "x", true},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.kind) + " at " + c.at + (c.compress ? ", archive" : "");
        mounts.clear();
        fs::remove_all(dst);
        fs::remove_all(src);
        MakeFile(src / "neu.txt", "neu");
        MakeFile(dst / "alt.txt", "alt");
        MakeFile(dst / "a/alt.txt", "alt");
        MakeFile(dst / "a/b/alt.txt", "alt");
        if (!mount(c.kind, dst / c.at))
            GTEST_SKIP() << "no mounts here";
        TProfile p = profile(BackupFull);
        p.DestErase = true;
        p.Compress = c.compress;
        p.Zipfile = "sicherung.zip";
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 0) << what << testing::PrintToString(r.logLines);
        EXPECT_EQ(ReadFileBytes(dst / c.at / "brief.txt"), "der einzige Brief") << what;
        EXPECT_EQ(ReadFileBytes(elsewhere / "brief.txt"), "der einzige Brief") << what;
        EXPECT_TRUE(HasLine(r, "Hinweis: " + (dst / c.at).string() +
                                   "/ ist ein eingehängtes Dateisystem und wird nicht geleert"))
            << what << testing::PrintToString(r.logLines);
        // Everything else went, and the run kept nothing of its own.
        EXPECT_FALSE(fs::exists(dst / "alt.txt")) << what;
        EXPECT_FALSE(fs::exists(dst / "a/alt.txt")) << what;
        EXPECT_FALSE(fs::exists(dst / "a/b/alt.txt")) << what;
        EXPECT_TRUE(fs::exists(dst / (c.compress ? "sicherung.zip" : "neu.txt"))) << what;
        for (const std::string& name : TreeOf(dst))
            EXPECT_EQ(name.find(".tresorio-"), std::string::npos) << what << ": " << name;
    }
}

TEST_F(MountsTest, TheDataFolderBindMountedIntoTheDestinationKeepsItsCatalogue)
{
    MakeFile(src / "neu.txt", "neu");
    MakeFile(dst / "alt.txt", "alt");
    MakeFile(dataFolder / "Backup.bpf", "die Profile");
    auto m = TestMount::Bind(dataFolder, dst / "daten");
    if (!m)
        GTEST_SKIP() << "no mounts here";
    TProfile p = profile(BackupFull);
    p.DestErase = true;
    const RunResult r = run(p);
    EXPECT_EQ(ReadFileBytes(dataFolder / "Backup.bpf"), "die Profile");
    EXPECT_FALSE(fs::exists(dst / "alt.txt"));
    EXPECT_EQ(ReadFileBytes(dst / "neu.txt"), "neu") << testing::PrintToString(r.logLines);
}

TEST_F(MountsTest, AMoveOrDeletionLeavesAMountInTheSourceAndSaysSo)
{
    for (const std::uint8_t type : {BackupMove, BackupDelete}) {
        for (const char* kind : {"bind", "tmpfs"}) {
            const std::string what = std::string(kind) + (type == BackupMove ? ", move" : ", delete");
            mounts.clear();
            fs::remove_all(src);
            fs::remove_all(dst);
            MakeFile(src / "weg.txt", "weg");
            MakeFile(src / "ordner/weg.txt", "weg");
            if (!mount(kind, src / "ordner/eingehängt"))
                GTEST_SKIP() << "no mounts here";
            const RunResult r = run(profile(type));
            EXPECT_EQ(ReadFileBytes(src / "ordner/eingehängt/brief.txt"), "der einzige Brief") << what;
            EXPECT_FALSE(fs::exists(dst / "ordner/eingehängt/brief.txt")) << what;
            EXPECT_FALSE(fs::exists(src / "weg.txt")) << what;
            EXPECT_FALSE(fs::exists(src / "ordner/weg.txt")) << what;
            EXPECT_EQ(r.errorCount, 1) << what << testing::PrintToString(r.logLines);
            EXPECT_TRUE(HasLineStarting(r, "!!! Fehler    : Ordner " + (src / "ordner/eingehängt").string() +
                                               "/ ist ein eingehängtes Dateisystem"))
                << what << testing::PrintToString(r.logLines);
        }
    }
}

} // namespace
