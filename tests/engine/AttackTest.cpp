// Runs on real files that try to make the engine lose a good copy, miss a file without saying
// so, or touch something outside its source and destination.

#include "base/DateTime.h"
#include "base/ResultCodes.h"
#include "engine/BackupRun.h"
#include "platform/posix/ArchiveStateCatalogue.h"
#include "platform/posix/PosixFileSystem.h"
#include "profiles/ProfileText.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <thread>

namespace {

namespace fs = std::filesystem;

// An observer that lets a test act once the first pass has counted the files, that is between
// the walk that lists the source and the one that works on it.
class CountingObserver final : public RunObserver
{
public:
    std::function<void()> afterCounting;

    void ShowScanStatus(ScanPhase, const std::string&) override {}
    void ResetProgress() override {}
    void SetFilesToDo(std::int64_t) override
    {
        if (afterCounting)
            afterCounting();
    }
    void ShowProgress(std::int64_t, std::int64_t) override {}
    bool CheckDest(const std::string&, const std::string&) override { return true; }
    bool NextDisk(int, int, const std::string&) override { return false; }
};

// The real file system, on which one file cannot be read: a bad sector, or a file the user may
// not open.
class OneUnreadableFile final : public PosixFileSystem
{
public:
    std::string unreadable;

    Status CopyFile(const std::string& source, const std::string& target) override
    {
        if (!unreadable.empty() && source == unreadable)
            return {ResultCode::AccessDenied, "Permission denied"};
        return PosixFileSystem::CopyFile(source, target);
    }
};

// What a file holds after the given run.
std::string VersionOf(const std::string& file, int run)
{
    return file + " v" + std::to_string(run);
}

// Every file below root with its content.
std::set<std::string> ContentsBelow(const fs::path& root)
{
    std::set<std::string> contents;
    for (const std::string& rel : TreeOf(root))
        if (rel.back() != '/')
            contents.insert(ReadFileBytes(root / rel));
    return contents;
}

class AttackTest : public ::testing::Test
{
protected:
    TempDir dir;
    fs::path src = dir / "quelle";
    fs::path dst = dir / "ziel";
    FakePlatform platform;
    OneUnreadableFile files;
    CountingObserver observer;
    RunControl control;

    AttackTest()
    {
        platform.now = 37626.5;
        fs::create_directories(src);
        fs::create_directories(dir / "daten");
    }

    TProfile profile(std::uint8_t type, int generations = 1)
    {
        TProfile p = DefaultProfile({});
        p.Name = "Angriff";
        p.Source = {src.string()};
        p.Destination = dst.string();
        p.Withsub = true;
        p.Backuptype = type;
        p.Generations = static_cast<std::uint8_t>(generations);
        return p;
    }

    RunResult run(const TProfile& p, std::int64_t reference = NeverRan)
    {
        BackupJob job;
        job.profile = p;
        job.referenceTime = reference;
        job.logAll = true;
        job.logProfile = false;
        job.logError = true;
        job.attributeMask = 32 + 4 + 2 + 1;
        job.dataFolder = (dir / "daten").string();
        ArchiveStateCatalogue catalogue(dir / "archive-state.db");
        return BackupRun(job, platform, files, catalogue, observer, control).Run();
    }
};

// Source files whose names are those the run gives its own work in the destination: a copy
// waiting beside its target, or a folder of older versions.
struct OwnName
{
    const char* name;
    std::vector<std::string> files;
    int generations;
    bool verify;
};

void PrintTo(const OwnName& c, std::ostream* os)
{
    *os << c.name;
}

class OwnNames : public AttackTest, public ::testing::WithParamInterface<OwnName>
{
};

TEST_P(OwnNames, EveryFileKeepsItsOwnCopy)
{
    const OwnName& c = GetParam();
    TProfile p = profile(BackupFull, c.generations);
    p.Verify = c.verify;
    for (int n = 1; n <= 2; ++n) {
        for (const std::string& file : c.files)
            MakeFile(src / file, VersionOf(file, n));
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
        for (const std::string& file : c.files) {
            ASSERT_TRUE(fs::exists(dst / file)) << "run " << n << ": no copy of " << file;
            EXPECT_EQ(ReadFileBytes(dst / file), VersionOf(file, n)) << "run " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AttackTest, OwnNames,
                         ::testing::Values(OwnName{"StagedCopy", {"x", ".x.tresorio-new-1"}, 3, false},
                                           OwnName{"StagedCopyVerified", {"x", ".x.tresorio-new-1"}, 1, true}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// A source folder named like a folder of older versions cannot be kept apart from them: it is an
// error of its own, and the older versions stay what they are.
TEST_F(AttackTest, ASourceFolderNamedLikeAGenerationIsReportedAndTheVersionsStay)
{
    const TProfile p = profile(BackupFull, 3);
    for (int n = 1; n <= 2; ++n) {
        MakeFile(src / "x", VersionOf("x", n));
        MakeFile(src / "Generation.1/x", VersionOf("Generation.1/x", n));
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 1);
        EXPECT_NE(std::find(r.logLines.begin(), r.logLines.end(),
                            "!!! Fehler    : copying Generation.1/x (183 - Name eines Generationsordners)"),
                  r.logLines.end())
            << testing::PrintToString(r.logLines);
        EXPECT_EQ(ReadFileBytes(dst / "x"), VersionOf("x", n));
    }
    EXPECT_EQ(ReadFileBytes(dst / "Generation.1/x"), VersionOf("x", 1));
}

// Runs after which every older version must still be in its generation.
struct Versions
{
    const char* name;
    std::vector<std::string> files;
    std::string masks;
    std::uint8_t type;
    int generations;
    int runs;
};

void PrintTo(const Versions& c, std::ostream* os)
{
    *os << c.name;
}

class OlderVersions : public AttackTest, public ::testing::WithParamInterface<Versions>
{
};

TEST_P(OlderVersions, StayInTheirGenerations)
{
    const Versions& c = GetParam();
    TProfile p = profile(c.type, c.generations);
    p.Addfiles = c.masks;
    for (int n = 1; n <= c.runs; ++n) {
        for (const std::string& file : c.files)
            MakeFile(src / file, VersionOf(file, n));
        const RunResult r = run(p);
        EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
        for (const std::string& file : c.files) {
            EXPECT_EQ(ReadFileBytes(dst / file), VersionOf(file, n)) << "run " << n;
            for (int g = 1; g <= c.generations && n - g >= 1; ++g) {
                const fs::path older = dst / ("Generation." + std::to_string(g)) / file;
                EXPECT_EQ(ReadFileBytes(older), VersionOf(file, n - g)) << "run " << n << ": " << older;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    AttackTest, OlderVersions,
    ::testing::Values(Versions{"NameOfACopyMovedAside", {"x", ".x.tresorio-old"}, "", BackupFull, 2, 4},
                      Versions{"TwoMasksTakeTheSameFile", {"bericht.txt"}, "*.txt;bericht*", BackupFull, 3, 3},
                      Versions{"MoveOntoAnEarlierFile", {"eingang.pdf"}, "", BackupMove, 3, 3}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(AttackTest, TwoSourcesThatDifferOnlyInCaseKeepTheirFilesApart)
{
    // On this file system "Musik" and "musik" are two folders with two different files.
    MakeFile(dir / "Musik/liste.txt", "aus Musik");
    MakeFile(dir / "musik/liste.txt", "aus musik");
    TProfile p = profile(BackupFull);
    p.Source = {(dir / "Musik").string(), (dir / "musik").string()};
    const RunResult r = run(p);
    const std::set<std::string> copied = ContentsBelow(dst);
    if (r.errorCount == 0) {
        EXPECT_EQ(copied.count("aus Musik"), 1u) << testing::PrintToString(TreeOf(dst));
        EXPECT_EQ(copied.count("aus musik"), 1u) << testing::PrintToString(TreeOf(dst));
    }
}

TEST_F(AttackTest, EmptyingTheDestinationKeepsTheCopyOfAFileThatCannotBeRead)
{
    MakeFile(src / "steuer.pdf", "Erklärung 2025");
    MakeFile(src / "brief.txt", "Brief");
    TProfile p = profile(BackupFull);
    p.DestErase = true;
    ASSERT_EQ(run(p).errorCount, 0);
    ASSERT_EQ(ReadFileBytes(dst / "steuer.pdf"), "Erklärung 2025");

    files.unreadable = (src / "steuer.pdf").string();
    const RunResult r = run(p);
    EXPECT_GT(r.errorCount, 0);
    // The new run has no copy of it: the one of the last run is the only one there is.
    EXPECT_TRUE(fs::exists(dst / "steuer.pdf")) << testing::PrintToString(TreeOf(dst));
    EXPECT_EQ(ReadFileBytes(dst / "steuer.pdf"), "Erklärung 2025");
}

TEST_F(AttackTest, RunByDateTakesAFolderMovedIntoTheSource)
{
    MakeFile(src / "alt.txt", "schon gesichert");
    MakeFile(dir / "anderswo/projekt/kapitel/eins.txt", "Kapitel 1");
    // The last run without errors began after the chapter was written, elsewhere; then the
    // folder is moved into the source. Moving a folder changes none of its files' times.
    std::this_thread::sleep_for(std::chrono::milliseconds(3500)); // beyond the margin of two seconds
    const std::int64_t lastGoodRun = std::time(nullptr);
    fs::rename(dir / "anderswo/projekt", src / "projekt");
    TProfile p = profile(BackupIncremental);
    p.Archive = false;
    const RunResult r = run(p, lastGoodRun);
    if (r.errorCount == 0) {
        EXPECT_EQ(ReadFileBytes(dst / "projekt/kapitel/eins.txt"), "Kapitel 1") << testing::PrintToString(TreeOf(dst));
    }
}

// The zone of the process for one test.
class ZoneForTest final
{
public:
    explicit ZoneForTest(const std::string& zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        ::setenv("TZ", zone.c_str(), 1);
        ::tzset();
    }
    ~ZoneForTest()
    {
        if (m_old)
            ::setenv("TZ", m_old->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    ZoneForTest(const ZoneForTest&) = delete;
    ZoneForTest& operator=(const ZoneForTest&) = delete;

private:
    std::optional<std::string> m_old;
};

TEST_F(AttackTest, RunByDateTakesAFileChangedInTheHourTheClocksWentBack)
{
    // A zone one hour ahead of UTC in winter and two in summer, whose summer time ended ten
    // minutes ago. Its rule names the day (counted from 0) and the summer time of the change.
    const std::time_t now = std::time(nullptr);
    const std::time_t change = now - 600;
    const std::time_t summerClock = change + 7200;
    std::tm at{};
    gmtime_r(&summerClock, &at);
    if (at.tm_yday < 1)
        GTEST_SKIP() << "the change would fall on the first day of the year";
    char zone[64];
    std::snprintf(zone, sizeof zone, "XST-1XDT,0/0,%d/%02d:%02d:%02d", at.tm_yday, at.tm_hour, at.tm_min, at.tm_sec);
    const ZoneForTest inZone(zone);

    // The last good run began twenty minutes ago, in summer time; the file is written now.
    const std::int64_t lastGoodRun = now - 1200;
    MakeFile(src / "arbeit.txt", "eine Stunde Arbeit");
    TProfile p = profile(BackupIncremental);
    p.Archive = false;
    const RunResult r = run(p, lastGoodRun);
    if (r.errorCount == 0) {
        EXPECT_EQ(ReadFileBytes(dst / "arbeit.txt"), "eine Stunde Arbeit") << zone;
    }
}

// A run that deletes or moves its source files, while a folder of the source is replaced by a
// link to a folder elsewhere once the files are counted.
class FolderBecomesLink : public AttackTest, public ::testing::WithParamInterface<std::uint8_t>
{
};

TEST_P(FolderBecomesLink, NothingOutsideTheSourceIsTouched)
{
    MakeFile(src / "ordner/passwd", "nur ein Köder");
    MakeFile(dir / "system/passwd", "root:x:0:0");
    observer.afterCounting = [this] {
        fs::rename(src / "ordner", src / "ordner.alt");
        fs::create_directory_symlink(dir / "system", src / "ordner");
    };
    run(profile(GetParam()));
    EXPECT_EQ(ReadFileBytes(dir / "system/passwd"), "root:x:0:0") << testing::PrintToString(TreeOf(dir / "system"));
}

INSTANTIATE_TEST_SUITE_P(AttackTest, FolderBecomesLink, ::testing::Values(BackupDelete, BackupMove),
                         [](const auto& testCase) { return testCase.param == BackupDelete ? "Delete" : "Move"; });

} // namespace
