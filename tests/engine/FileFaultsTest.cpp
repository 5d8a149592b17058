#include "base/ResultCodes.h"
#include "engine/BackupRun.h"
#include "engine/FileProcessor.h"
#include "profiles/ProfileText.h"
#include "support/FakePlatform.h"
#include "support/MemoryFileSystem.h"
#include "support/RecordingObserver.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace {

using Op = MemoryFileSystem::Operation;
using Files = std::map<std::string, std::string>; // path → content; folders end with "/"

constexpr std::int64_t Earlier = 1'100'000'000;
constexpr std::int64_t Later = Earlier + 100;
const std::string Good = "gute Kopie";
const std::string Newer = "neue Fassung";
const std::string Appended = " und mehr";
const std::string Tag = "tresorio-000000000001"; // the runs' work tag

// Archive bits in memory: a file's bit stays set until a run clears it for the state it has.
class MemoryArchive final : public ArchiveAttribute
{
public:
    std::map<std::string, std::int64_t> cleared; // path → the modification time it was cleared for

    void Prefetch(const std::string&) override {}
    bool IsSet(const std::string& path, const FileEntry& entry) override
    {
        const auto it = cleared.find(path);
        return it == cleared.end() || it->second != entry.mtimeNs;
    }
    void Clear(const std::string& path, const FileEntry& entry) override { cleared[path] = entry.mtimeNs; }
    bool Commit() override { return true; }
    std::vector<std::string> TakeProblems() override { return {}; }
};

// A kind of run that replaces a good copy with a newer version of the file.
struct Kind
{
    const char* name;
    std::uint8_t type;
    int generations;
    bool back;              // the newer version is on the destination's side and is copied back
    std::string failedText; // what the error line says failed
};

void PrintTo(const Kind& kind, std::ostream* os)
{
    *os << kind.name;
}

const Kind Generations{"Generations", BackupFull, 3, false, "copying a.txt"};
const std::vector<Kind> Kinds = {
    {"Full", BackupFull, 1, false, "copying a.txt"},
    {"Incremental", BackupIncremental, 1, false, "copying a.txt"},
    {"Differential", BackupDifferential, 1, false, "copying a.txt"},
    {"Synchronise", BackupSynchronise, 1, false, "copying a.txt"},
    {"SynchroniseBack", BackupSynchronise, 1, true, "copying a.txt"},
    {"Move", BackupMove, 1, false, "verschieben von /ziel/a.txt"},
    Generations,
};

struct Fault
{
    const char* name;
    Status status;           // what copying the file gives
    bool changesWhileCopied; // instead: the file is written to while it is copied
    std::string reported;    // the failure as the error line shows it
};

void PrintTo(const Fault& fault, std::ostream* os)
{
    *os << fault.name;
}

const std::vector<Fault> Faults = {
    {"SourceUnreadable", {ResultCode::AccessDenied, "Permission denied"}, false, "Zugriff verweigert"},
    {"SourceVanished", {ResultCode::FileNotFound, "No such file or directory"}, false, "2 - No such file or directory"},
    {"SourceChanges", {}, true, "wird von anderem Prozess verwendet"},
    {"ReadError", {1117, "Input/output error"}, false, "1117 - Input/output error"},
    // Code 5 from the target's side, but the file there is not what stands in the way.
    {"TargetFolderReadOnly", {ResultCode::AccessDenied, "Permission denied"}, false, "Zugriff verweigert"},
    {"DiskFull", {ResultCode::DiskFull, "No space left on device"}, false, "112 - No space left on device"},
};

class FileFaultsTest : public ::testing::Test
{
protected:
    MemoryFileSystem fs;
    MemoryArchive archive;
    FakePlatform platform;
    RecordingObserver observer;
    RunControl control;

    FileFaultsTest() { platform.now = 37626.5; }

    TProfile profile(std::uint8_t type, int generations = 1)
    {
        TProfile p = DefaultProfile({});
        p.Name = "Test";
        p.Source = {"/quelle"};
        p.Destination = "/ziel";
        p.Withsub = true;
        p.Backuptype = type;
        p.Generations = static_cast<std::uint8_t>(generations);
        return p;
    }

    RunResult run(const TProfile& p)
    {
        BackupJob job;
        job.profile = p;
        job.logAll = true;
        job.logProfile = false;
        job.logError = true;
        job.workTag = Tag;
        return BackupRun(job, platform, fs, archive, observer, control).Run();
    }

    static std::vector<std::string> errorLines(const RunResult& r)
    {
        std::vector<std::string> lines;
        for (const std::string& line : r.logLines)
            if (line.starts_with("!!! "))
                lines.push_back(line);
        return lines;
    }

    Files files()
    {
        Files all;
        for (const std::string& rel : fs.tree("/"))
            all["/" + rel] = rel.back() == '/' ? "" : *fs.content("/" + rel);
        return all;
    }

    // The file a.txt where the run takes it from, with a good copy where it goes (older
    // versions too, with generations), and b.txt in the source, which goes through untouched.
    struct Sides
    {
        std::string from;
        std::string to;
    };
    Sides prepare(const Kind& kind)
    {
        const Sides sides = kind.back ? Sides{"/ziel/a.txt", "/quelle/a.txt"} : Sides{"/quelle/a.txt", "/ziel/a.txt"};
        fs.addFile(sides.to, Good, Earlier);
        fs.addFile(sides.from, Newer, Later);
        fs.addFile("/quelle/b.txt", "b", Earlier);
        for (int n = 1; kind.generations > 1 && n <= kind.generations; ++n)
            fs.addFile("/ziel/Generation." + std::to_string(n) + "/a.txt",
                       "Fassung " + std::to_string(kind.generations + 1 - n), Earlier);
        // A run that moves takes the files to another medium: the move is a copy and a deletion.
        fs.acrossDevices = kind.type == BackupMove;
        return sides;
    }

    // The file grows each time a copy of it begins.
    void changeWhileCopied(const std::string& path)
    {
        fs.beforeCopy = [this, path](const std::string& source) {
            if (source == path)
                fs.addFile(source, *fs.content(source) + Appended);
        };
    }

    // As a read-only source leaves them, in every generation.
    void makeCopiesReadOnly(const Sides& sides)
    {
        for (const auto& [path, content] : files())
            if (path.ends_with("/a.txt") && path != sides.from)
                fs.setReadOnly(path, true);
    }
};

class FaultTest : public FileFaultsTest, public ::testing::WithParamInterface<std::tuple<Kind, Fault>>
{
};

TEST_P(FaultTest, TheGoodCopyStaysAndTheFailureIsCounted)
{
    const auto& [kind, fault] = GetParam();
    const Sides sides = prepare(kind);
    if (fault.changesWhileCopied)
        changeWhileCopied(sides.from);
    else
        fs.failOn(sides.from, Op::Copy, fault.status);
    Files expected = files();
    expected["/ziel/b.txt"] = "b";
    if (kind.type == BackupMove)
        expected.erase("/quelle/b.txt");
    if (fault.changesWhileCopied)
        expected[sides.from] += Appended;

    const RunResult r = run(profile(kind.type, kind.generations));

    // Every file as it was, byte for byte: the good copy, the older generations, the other side;
    // and nothing staged is left behind.
    EXPECT_EQ(files(), expected);
    EXPECT_EQ(errorLines(r),
              std::vector<std::string>{"!!! Fehler    : " + kind.failedText + " (" + fault.reported + ")"});
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(r.filesDone, 1);
    // The next run takes the file again.
    EXPECT_EQ(archive.cleared.count(sides.from), 0u);
}

INSTANTIATE_TEST_SUITE_P(KindsAndFaults, FaultTest,
                         ::testing::Combine(::testing::ValuesIn(Kinds), ::testing::ValuesIn(Faults)),
                         [](const auto& test) {
                             return std::string(std::get<0>(test.param).name) + "_" + std::get<1>(test.param).name;
                         });

class ReadOnlyTargetTest : public FileFaultsTest, public ::testing::WithParamInterface<Kind>
{
};

TEST_P(ReadOnlyTargetTest, IsClearedAndReplaced)
{
    const Kind& kind = GetParam();
    const Sides sides = prepare(kind);
    makeCopiesReadOnly(sides);

    const RunResult r = run(profile(kind.type, kind.generations));

    EXPECT_EQ(errorLines(r), std::vector<std::string>{});
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.filesDone, 2);
    EXPECT_EQ(fs.content(sides.to), Newer);
    EXPECT_EQ(fs.exists(sides.from), kind.type != BackupMove);
    if (kind.generations > 1) {
        EXPECT_EQ(fs.content("/ziel/Generation.1/a.txt"), Good);
        EXPECT_EQ(fs.content("/ziel/Generation.2/a.txt"), "Fassung 3");
        EXPECT_EQ(fs.content("/ziel/Generation.3/a.txt"), "Fassung 2");
    }
}

TEST_P(ReadOnlyTargetTest, StaysWhenTheSourceChangesWhileItIsCopied)
{
    const Kind& kind = GetParam();
    const Sides sides = prepare(kind);
    makeCopiesReadOnly(sides);
    changeWhileCopied(sides.from);

    const RunResult r = run(profile(kind.type, kind.generations));

    EXPECT_EQ(fs.content(sides.to), Good);
    EXPECT_EQ(r.errorCount, 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ReadOnlyTargetTest, ::testing::ValuesIn(Kinds),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(FileFaultsTest, ACopyThatDoesNotVerifyLeavesTheGenerationsAndNoStagedFile)
{
    prepare(Generations);
    fs.failOn("/quelle/a.txt", Op::Compare, {});
    Files expected = files();
    expected["/ziel/b.txt"] = "b";
    TProfile p = profile(BackupFull, 3);
    p.Verify = true;

    const RunResult r = run(p);

    EXPECT_EQ(files(), expected);
    EXPECT_EQ(errorLines(r), std::vector<std::string>{"!!! Fehler    : copying a.txt (Verifizierung fehlgeschlagen)"});
    EXPECT_EQ(r.errorCount, 1);
    // The new copy was made beside the target, and is gone again.
    EXPECT_NE(
        std::find(fs.calls.begin(), fs.calls.end(), "copy /quelle/a.txt -> " + StagedNameOf("/ziel/a.txt", Tag, 0)),
        fs.calls.end());
}

TEST_F(FileFaultsTest, ARotationThatFailsKeepsThePreviousVersionAndIsCounted)
{
    prepare(Generations);
    fs.failOn("/ziel/a.txt", Op::Move, {ResultCode::AccessDenied, "Permission denied"});

    const RunResult r = run(profile(BackupFull, 3));

    // In place or in Generation.1.
    const Files kept = files();
    EXPECT_TRUE(std::any_of(kept.begin(), kept.end(), [](const auto& f) { return f.second == Good; }));
    EXPECT_EQ(r.errorCount, static_cast<std::int32_t>(errorLines(r).size()));
    EXPECT_GE(r.errorCount, 1);
}

TEST_F(FileFaultsTest, ANewCopyThatCannotBePutInPlaceLeavesTheGenerations)
{
    prepare(Generations);
    fs.failOn(StagedNameOf("/ziel/a.txt", Tag, 0), Op::Move, {1117, "Input/output error"});
    Files before = files();

    const RunResult r = run(profile(BackupFull, 3));

    EXPECT_EQ(r.errorCount, 1);
    for (const char* path :
         {"/ziel/a.txt", "/ziel/Generation.1/a.txt", "/ziel/Generation.2/a.txt", "/ziel/Generation.3/a.txt"})
        EXPECT_EQ(fs.content(path), before[path]) << path;
}

class DestEraseTest : public FileFaultsTest
{
protected:
    TProfile twoSources()
    {
        fs.addFile("/daten/A/a.txt", "a");
        fs.addFile("/daten/B/b.txt", "b");
        fs.addFile("/ziel/B/b.txt", Good);
        fs.addFile("/ziel/alt.txt", "vom letzten Mal");
        TProfile p = profile(BackupFull);
        p.Source = {"/daten/A", "/daten/B"};
        p.DestErase = true;
        return p;
    }
};

TEST_F(DestEraseTest, IsRefusedWhileASourceCannotBeRead)
{
    const TProfile p = twoSources();
    fs.failOn("/daten/B", Op::List, {ResultCode::AccessDenied, "Permission denied"});

    const RunResult r = run(p);

    EXPECT_EQ(fs.tree("/ziel"), (std::vector<std::string>{"A/", "A/a.txt", "B/", "B/b.txt", "alt.txt"}));
    EXPECT_EQ(fs.content("/ziel/B/b.txt"), Good);
    EXPECT_EQ(
        errorLines(r),
        (std::vector<std::string>{
            "!!! Fehler    : Verzeichnis nicht lesbar: /daten/B/ (Zugriff verweigert)",
            "!!! Fehler    : Ziel /ziel/ wird nicht geleert: Quelle /daten/B/ ist nicht lesbar (Zugriff verweigert)"}));
    EXPECT_EQ(r.errorCount, 2);
}

TEST_F(DestEraseTest, EmptiesTheDestinationWhenEverySourceCanBeRead)
{
    const RunResult r = run(twoSources());

    EXPECT_EQ(fs.tree("/ziel"), (std::vector<std::string>{"A/", "A/a.txt", "B/", "B/b.txt"}));
    EXPECT_EQ(fs.content("/ziel/B/b.txt"), "b");
    EXPECT_EQ(r.errorCount, 0);
}

TEST_F(DestEraseTest, IsRefusedWhileAFolderOfASourceCannotBeRead)
{
    fs.addFile("/quelle/a.txt", "a");
    fs.addFile("/quelle/sub/b.txt", "b");
    fs.addFile("/ziel/sub/b.txt", Good);
    fs.failOn("/quelle/sub", Op::List, {ResultCode::AccessDenied, "Permission denied"});
    TProfile p = profile(BackupFull);
    p.DestErase = true;

    const RunResult r = run(p);

    EXPECT_EQ(fs.content("/ziel/sub/b.txt"), Good);
    EXPECT_GE(r.errorCount, 1);
}

TEST_F(DestEraseTest, NeverForASynchronisation)
{
    // What is only on the destination's side is the user's file to a synchronisation.
    fs.addFile("/quelle/a.txt", "a");
    fs.addFile("/ziel/nur-hier.txt", Good);
    TProfile p = profile(BackupSynchronise);
    p.DestErase = true;

    const RunResult r = run(p);

    EXPECT_EQ(fs.content("/ziel/nur-hier.txt"), Good);
    EXPECT_EQ(fs.content("/quelle/nur-hier.txt"), Good);
    EXPECT_EQ(errorLines(r), std::vector<std::string>{"!!! Fehler    : Ziel /ziel/ wird nicht geleert: beim "
                                                      "Synchronisieren wird kein Ziel geleert"});
}

} // namespace
