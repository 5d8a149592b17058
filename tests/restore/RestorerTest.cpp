#include "restore/Restorer.h"

#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t Second = 1'000'000'000;

TEST(RestorerTest, ANameKeptBesideCarriesTheDateOfItsVersion)
{
    const std::int64_t moment = 1609502400LL * Second; // 01.01.2021 12:00 UTC
    struct Case
    {
        std::string target;
        int number;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"/a/bericht.txt", 1, "/a/bericht (2021-01-01 13.00.00).txt"},
        {"/a/archiv.tar.gz", 1, "/a/archiv.tar (2021-01-01 13.00.00).gz"},
        {"/a/.bashrc", 1, "/a/.bashrc (2021-01-01 13.00.00)"},
        {"/a/ohne", 3, "/a/ohne (2021-01-01 13.00.00 3)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Restorer::NameWithDate(c.target, moment, 3600, c.number), c.expected);
    // A name of 255 bytes stays within 255 bytes, its suffix kept.
    const std::string longest = Restorer::NameWithDate("/a/" + std::string(251, 'x') + ".txt", moment, 0);
    EXPECT_EQ(longest.size() - 3, 255u);
    EXPECT_EQ(longest.substr(longest.size() - 26), " (2021-01-01 12.00.00).txt");
}

class RestorerFiles : public ::testing::Test
{
protected:
    TempDir dir;
    PosixFileSystem fs;
    RunControl control;

    StoredVersion copyOf(const std::string& name)
    {
        const auto e = fs.Stat((dir / "ziel" / name).string());
        StoredVersion v;
        v.location = (dir / "ziel" / name).string();
        v.size = e->size;
        v.mtimeNs = e->mtimeNs;
        v.storedNs = e->mtimeNs;
        return v;
    }
};

TEST_F(RestorerFiles, OnlyAFileThatDiffersIsAskedAboutAndStandsInTheWayUntilAnswered)
{
    MakeFile(dir / "ziel/gleich.txt", "gleich", 1000);
    MakeFile(dir / "ziel/anders.txt", "alt", 1000);
    MakeFile(dir / "ziel/ordner", "eine Datei", 1000);
    MakeFile(dir / "ziel/neu.txt", "neu", 1000);
    MakeFile(dir / "zurück/gleich.txt", "gleich", 1000);
    MakeFile(dir / "zurück/anders.txt", "jünger", 2000);
    MakeFile(dir / "zurück/ordner/darin", "x");
    const std::vector<StoredVersion> versions = {copyOf("anders.txt"), copyOf("gleich.txt"), copyOf("neu.txt"),
                                                 copyOf("ordner")};
    RestoreRequest request;
    request.targetFolder = (dir / "zurück").string();
    for (const char* sub : {"anders.txt", "gleich.txt", "neu.txt", "ordner"})
        request.items.push_back({sub, &versions[request.items.size()]});
    std::vector<std::string> asked;
    request.conflict = [&asked](const std::string& target, const FileEntry& there, const StoredVersion& v) {
        asked.push_back(target.substr(target.find_last_of('/') + 1) + " " + std::to_string(there.size) + " " +
                        std::to_string(v.size));
        return ConflictAnswer::Skip;
    };
    const RestoreOutcome outcome = Restorer(fs, control).Run(request);
    EXPECT_EQ(asked, std::vector<std::string>{"anders.txt 7 3"});
    EXPECT_EQ(ReadFileBytes(dir / "zurück/anders.txt"), "jünger");
    EXPECT_EQ(ReadFileBytes(dir / "zurück/neu.txt"), "neu");
    EXPECT_EQ(ReadFileBytes(dir / "zurück/ordner/darin"), "x"); // a folder in the way stays
    EXPECT_EQ(outcome.skipped, 1);
    EXPECT_EQ(outcome.stats.filesDone, 2); // the new one, and the one that was there as stored
    EXPECT_EQ(outcome.stats.errorCount, 1);
    EXPECT_NE(std::find_if(outcome.lines.begin(), outcome.lines.end(),
                           [](const std::string& l) { return l.find("ordner (") != std::string::npos; }),
              outcome.lines.end())
        << testing::PrintToString(outcome.lines);
}

TEST_F(RestorerFiles, ACancelledRestoreWritesNothingMoreAndAnArchiveThatFailsCostsOnlyItsFiles)
{
    MakeFile(dir / "ziel/a.txt", "a", 1000);
    MakeFile(dir / "kaputt.zip", "kein Archiv");
    StoredVersion fromArchive;
    fromArchive.place = StoredPlace::Archive;
    fromArchive.location = (dir / "kaputt.zip").string();
    fromArchive.entry = "b.txt";
    const std::vector<StoredVersion> versions = {copyOf("a.txt"), fromArchive};
    RestoreRequest request;
    request.targetFolder = (dir / "zurück").string();
    request.items = {{"b.txt", &versions[1]}, {"a.txt", &versions[0]}};
    const RestoreOutcome failed = Restorer(fs, control).Run(request);
    EXPECT_EQ(failed.stats.errorCount, 1);
    EXPECT_EQ(failed.stats.filesDone, 1);
    EXPECT_EQ(TreeOf(dir / "zurück"), std::vector<std::string>{"a.txt"});

    std::filesystem::remove_all(dir / "zurück");
    control.abortRequested = true;
    const RestoreOutcome cancelled = Restorer(fs, control).Run(request);
    EXPECT_EQ(cancelled.stats.filesDone, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "zurück"));
}

TEST_F(RestorerFiles, ALinkPutWhereTheBackupHasAFolderLeadsNowhere)
{
    MakeFile(dir / "ziel/ordner/datei", "gesichert", 1000);
    std::filesystem::create_directories(dir / "zurück");
    std::filesystem::create_directories(dir / "fremd");
    std::filesystem::create_directory_symlink(dir / "fremd", dir / "zurück/ordner");
    const StoredVersion v = copyOf("ordner/datei");
    RestoreRequest request;
    request.targetFolder = (dir / "zurück").string();
    request.items = {{"ordner/datei", &v}};
    request.conflict = [](const std::string&, const FileEntry&, const StoredVersion&) {
        return ConflictAnswer::Replace;
    };
    const RestoreOutcome outcome = Restorer(fs, control).Run(request);
    EXPECT_EQ(outcome.stats.errorCount, 1);
    EXPECT_EQ(TreeOf(dir / "fremd"), std::vector<std::string>{});
    ASSERT_EQ(outcome.lines.size(), 1u);
    EXPECT_NE(outcome.lines[0].find("Verknüpfung statt Ordner: " + (dir / "zurück/ordner").string()), std::string::npos)
        << outcome.lines[0];
}

} // namespace
