#include "platform/posix/PosixFileSystem.h"

#include "platform/posix/ArchiveStateCatalogue.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <functional>
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

TEST(ArchiveStateCatalogueTest, ADamagedCatalogueIsSetAsideOnceAndRebuilt)
{
    TempDir dir;
    PosixFileSystem fs;
    const auto file = dir / "archive-state.db";
    const std::string folder = (dir / "daten/").string();
    std::vector<std::string> paths;
    for (int i = 0; i < 2000; ++i) {
        paths.push_back(folder + "datei-mit-einem-langen-namen-" + std::to_string(i) + ".txt");
        MakeFile(paths.back(), "x");
    }
    auto recordAll = [&] {
        ArchiveStateCatalogue catalogue(file);
        for (const std::string& p : paths)
            catalogue.Clear(p, *fs.Stat(p));
        EXPECT_TRUE(catalogue.Commit());
    };
    struct Case
    {
        const char* damage;
        std::function<void()> apply;
    };
    const Case cases[] = {
        {"not a database at all", [&] { WriteFileBytes(file, std::string(8192, 'M')); }},
        {"pages overwritten in the middle",
         [&] {
             recordAll();
             std::string bytes = ReadFileBytes(file);
             ASSERT_GT(bytes.size(), 40'000u);
             for (std::size_t i = 8192; i < bytes.size() - 4096; ++i)
                 bytes[i] = static_cast<char>(i * 7);
             WriteFileBytes(file, bytes);
         }},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir / "archive-state.db.broken");
        c.apply();
        {
            ArchiveStateCatalogue catalogue(file);
            catalogue.Prefetch(folder);
            // Whatever it said before, every file counts as changed now: the next run takes them all.
            EXPECT_TRUE(catalogue.IsSet(paths[5], *fs.Stat(paths[5]))) << c.damage;
            const std::vector<std::string> problems = catalogue.TakeProblems();
            ASSERT_EQ(problems.size(), 1u) << c.damage;
            EXPECT_NE(problems[0].find(file.string()), std::string::npos) << problems[0];
            EXPECT_NE(problems[0].find(".broken"), std::string::npos) << problems[0];
            EXPECT_TRUE(catalogue.TakeProblems().empty()); // told once
            catalogue.Clear(paths[5], *fs.Stat(paths[5]));
            EXPECT_TRUE(catalogue.Commit()) << c.damage;
        }
        EXPECT_TRUE(std::filesystem::exists(dir / "archive-state.db.broken")) << c.damage;
        ArchiveStateCatalogue again(file);
        again.Prefetch(folder);
        EXPECT_TRUE(again.TakeProblems().empty()) << c.damage;
        EXPECT_FALSE(again.IsSet(paths[5], *fs.Stat(paths[5]))) << c.damage;
    }
    // The catalogue names every file that was backed up: its owner's alone.
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

} // namespace
