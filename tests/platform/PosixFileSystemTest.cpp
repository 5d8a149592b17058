#include "platform/posix/PosixFileSystem.h"

#include "platform/posix/ArchiveStateCatalogue.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(PosixFileSystemTest, CopiesLeaveNoTemporaryAndReplaceTheTarget)
{
    TempDir dir;
    PosixFileSystem fs;
    MakeFile(dir / "a.txt", std::string(300'000, 'a'), 1'200'000'000);
    MakeFile(dir / "ziel/a.txt", "alt");
    ::chmod((dir / "ziel/a.txt").c_str(), 0444);
    ASSERT_TRUE(fs.CopyFile((dir / "a.txt").string(), (dir / "ziel/a.txt").string()).ok());
    EXPECT_EQ(ReadFileBytes(dir / "ziel/a.txt"), std::string(300'000, 'a'));
    EXPECT_EQ(ModifiedOf(dir / "ziel/a.txt"), 1'200'000'000);
    EXPECT_EQ(TreeOf(dir / "ziel"), (std::vector<std::string>{"a.txt"}));

    const Status missing = fs.CopyFile((dir / "fehlt.txt").string(), (dir / "ziel/x.txt").string());
    EXPECT_EQ(missing.code, 2);
    const Status noFolder = fs.CopyFile((dir / "a.txt").string(), (dir / "nicht/da/x.txt").string());
    EXPECT_EQ(noFolder.code, 3);
    EXPECT_FALSE(noFolder.message.empty());
}

TEST(PosixFileSystemTest, CompareFiles)
{
    TempDir dir;
    PosixFileSystem fs;
    MakeFile(dir / "a", "gleich lang 1");
    MakeFile(dir / "b", "gleich lang 2");
    MakeFile(dir / "c", "anders");
    MakeFile(dir / "leer1", "");
    MakeFile(dir / "leer2", "");
    const auto p = [&dir](const char* n) { return (dir / n).string(); };
    EXPECT_TRUE(fs.CompareFiles(p("a"), p("b"), false));
    EXPECT_FALSE(fs.CompareFiles(p("a"), p("b"), true));
    EXPECT_FALSE(fs.CompareFiles(p("a"), p("c"), false));
    EXPECT_TRUE(fs.CompareFiles(p("leer1"), p("leer2"), true));
    EXPECT_FALSE(fs.CompareFiles(p("a"), p("fehlt"), false));
}

TEST(PosixFileSystemTest, Roots)
{
    TempDir dir;
    PosixFileSystem fs;
    EXPECT_TRUE(fs.IsFileSystemRoot("/"));
    EXPECT_TRUE(fs.IsFileSystemRoot("/proc/"));
    EXPECT_FALSE(fs.IsFileSystemRoot(dir.path().string() + "/"));
}

TEST(ArchiveStateCatalogueTest, AFileCountsAsChangedUntilItsStateIsRecorded)
{
    TempDir dir;
    PosixFileSystem fs;
    MakeFile(dir / "daten/a.txt", "1");
    MakeFile(dir / "daten/b.txt", "2");
    const std::string a = (dir / "daten/a.txt").string();
    const std::string b = (dir / "daten/b.txt").string();
    {
        ArchiveStateCatalogue catalogue(dir / "archive-state.db");
        ASSERT_EQ(catalogue.error(), "");
        catalogue.Prefetch((dir / "daten/").string());
        EXPECT_TRUE(catalogue.IsSet(a, *fs.Stat(a)));
        catalogue.Clear(a, *fs.Stat(a));
        catalogue.Clear(b, *fs.Stat(b));
        // Not committed: a run that dies takes its files again.
    }
    {
        ArchiveStateCatalogue catalogue(dir / "archive-state.db");
        catalogue.Prefetch((dir / "daten/").string());
        EXPECT_TRUE(catalogue.IsSet(a, *fs.Stat(a)));
        catalogue.Clear(a, *fs.Stat(a));
        catalogue.Clear(b, *fs.Stat(b));
        EXPECT_TRUE(catalogue.Commit());
    }
    MakeFile(dir / "daten/b.txt", "3"); // same size, new content
    ArchiveStateCatalogue catalogue(dir / "archive-state.db");
    catalogue.Prefetch((dir / "daten/").string());
    EXPECT_FALSE(catalogue.IsSet(a, *fs.Stat(a)));
    EXPECT_TRUE(catalogue.IsSet(b, *fs.Stat(b)));
    // Another folder whose name begins the same is not read with this one.
    EXPECT_TRUE(catalogue.IsSet((dir / "daten2/a.txt").string(), *fs.Stat(a)));
}

TEST(ArchiveStateCatalogueTest, AnUnusableCatalogueMakesEveryFileChanged)
{
    TempDir dir;
    PosixFileSystem fs;
    MakeFile(dir / "a.txt", "1");
    ArchiveStateCatalogue catalogue(dir / "fehlt/archive-state.db");
    EXPECT_NE(catalogue.error(), "");
    const std::string a = (dir / "a.txt").string();
    catalogue.Clear(a, *fs.Stat(a));
    EXPECT_FALSE(catalogue.Commit());
}

} // namespace
