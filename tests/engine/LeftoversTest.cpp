#include "engine/Leftovers.h"

#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <gtest/gtest.h>

namespace {

const std::string Tag = "tresorio-0123456789ab";

TEST(LeftoversTest, OnlyTheNamesOfTheKilledRunsOwnFilesAreTakenForLeftovers)
{
    const struct
    {
        std::string name;
        WorkName kind;
    } cases[] = {
        {".a.txt." + Tag + "-3", WorkName::Discard},        // a copy under way
        {".a.txt." + Tag + "-new12", WorkName::Discard},    // a new copy waiting for its place
        {".a.txt." + Tag + "-old", WorkName::MovedAside},   // the last good copy, moved aside
        {".x.zip." + Tag + "-volume", WorkName::Discard},   // a volume being written
        {".x.zip." + Tag + "-volumes", WorkName::Discard},  // the folder of a new set of volumes
        {"." + Tag + "-zip", WorkName::Discard},            // an archive being built
        {"." + Tag + "-erased", WorkName::Erased},          // what an emptied destination held
        {".a.txt.tresorio-0123456789ac-3", WorkName::None}, // another run's: not this one's to touch
        {".a.txt.tresorio-new-1", WorkName::None},          // a user's file that only looks like it
        {"a.txt." + Tag + "-3", WorkName::None},            // not hidden: not ours
        {".a.txt." + Tag + "-new", WorkName::None},
        {"." + Tag + "-old", WorkName::None},
        {".config", WorkName::None},
        {"", WorkName::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WorkNameOf(c.name, Tag), c.kind) << c.name;
    EXPECT_NE(NewWorkTag(), NewWorkTag());
    EXPECT_EQ(NewWorkTag().size(), Tag.size());
}

TEST(LeftoversTest, AKilledRunsFilesGoAndWhatItMovedAsideComesBack)
{
    TempDir dir;
    PosixFileSystem fs;
    const auto dst = dir / "ziel";
    MakeFile(dst / (".a.txt." + Tag + "-3"), "halb");
    MakeFile(dst / ("sub/.b.txt." + Tag + "-new0"), "neu, nicht geprüft");
    MakeFile(dst / ("sub/.c.txt." + Tag + "-old"), "die gute Kopie"); // its place is empty: it goes back
    MakeFile(dst / ("sub/.d.txt." + Tag + "-old"), "die alte Kopie"); // a new one took its place
    MakeFile(dst / "sub/d.txt", "die neue Kopie");
    MakeFile(dst / ("." + Tag + "-zip/x.zip"), "halbes Archiv");
    MakeFile(dst / (".x.zip." + Tag + "-volumes/x.z01"), "halber Teil");
    // What the destination held before it was to be emptied: back where nothing new is.
    MakeFile(dst / ("." + Tag + "-erased/alt.txt"), "vom letzten Mal");
    MakeFile(dst / ("." + Tag + "-erased/sub/d.txt"), "noch älter");
    MakeFile(dst / ".a.txt.tresorio-new-1", "eine Datei des Benutzers");
    MakeFile(dst / ".config/bleibt", "eine Datei des Benutzers");
    MakeFile(dst / "a.txt", "bleibt");

    // Only the top of a folder that is searched by itself.
    EXPECT_EQ(SweepLeftovers(fs, dst.string(), false, Tag), 4);
    EXPECT_EQ(ReadFileBytes(dst / "alt.txt"), "vom letzten Mal");
    EXPECT_EQ(SweepLeftovers(fs, dst.string() + "/", true, Tag), 3);
    EXPECT_EQ(TreeOf(dst), (std::vector<std::string>{".a.txt.tresorio-new-1", ".config/", ".config/bleibt", "a.txt",
                                                     "alt.txt", "sub/", "sub/c.txt", "sub/d.txt"}));
    EXPECT_EQ(ReadFileBytes(dst / "sub/c.txt"), "die gute Kopie");
    EXPECT_EQ(ReadFileBytes(dst / "sub/d.txt"), "die neue Kopie");
}

TEST(LeftoversTest, TheNoteKeepsEveryRunUntilItsLeftoversAreCleared)
{
    TempDir dir;
    const std::string other = "tresorio-ba9876543210";
    // Folder names with everything a line could trip over.
    const std::vector<MarkedFolder> folders = {{"/ziel/mit\nZeilenumbruch\tund\\/", "UUID=1234"}, {"/tmp", ""}};
    const RotationMoves rotation = {{"/ziel/Generation.1/a", "/ziel/Generation.2/a"},
                                    {"/ziel/a", "/ziel/Generation.1/a"}};
    {
        RunMarker killed(dir.path().string(), "Täglich");
        EXPECT_TRUE(killed.Pending().empty());
        killed.Begin(other, folders, {});
        killed.RotationBegins(rotation);
        // Killed here: the note and the rotation under way stay.
    }
    RunMarker marker(dir.path().string(), "Täglich");
    std::vector<RunMarker::Unfinished> pending = marker.Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0], (RunMarker::Unfinished{other, folders, {rotation}}));
    EXPECT_TRUE(RunMarker(dir.path().string(), "Anders").Pending().empty());

    // A run that cannot clear them (the medium is elsewhere) keeps them noted, itself too while
    // it works, and only them once it has ended.
    marker.Begin(Tag, {{"/ziel/", "UUID=5678"}}, pending);
    marker.RotationBegins({{"/ziel/b", "/ziel/Generation.1/b"}});
    marker.RotationSettled();
    EXPECT_EQ(RunMarker(dir.path().string(), "Täglich").Pending(),
              (std::vector<RunMarker::Unfinished>{pending[0], {Tag, {{"/ziel/", "UUID=5678"}}, {}}}));
    marker.End();
    EXPECT_EQ(RunMarker(dir.path().string(), "Täglich").Pending(), pending);

    RunMarker last(dir.path().string(), "Täglich");
    last.Begin(Tag, {{"/ziel/", ""}}, {});
    last.End();
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(LeftoversTest, OnlyTheFoldersWhoseMediumIsHereAreClearedTheRestWaits)
{
    TempDir dir;
    PosixFileSystem fs;
    const auto a = dir / "platte-a";
    const auto work = dir / "arbeit";
    MakeFile(a / ("." + Tag + "-zip/x.zip"), "halbes Archiv");
    MakeFile(work / (".x.zip." + Tag + "-volume"), "halber Teil");
    std::vector<RunMarker::Unfinished> pending = {
        {Tag, {{a.string() + "/", "A"}, {work.string(), "System"}}, {{{(a / "x").string(), (a / "y").string()}}}}};
    bool mediumAHere = false;
    auto present = [&](const MarkedFolder& f) { return f.fileSystem == "System" || mediumAHere; };
    EXPECT_EQ(ClearLeftovers(fs, pending, present), 1);
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].folders, (std::vector<MarkedFolder>{{a.string() + "/", "A"}}));
    EXPECT_EQ(pending[0].rotations.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(a / ("." + Tag + "-zip/x.zip")));

    mediumAHere = true;
    EXPECT_EQ(ClearLeftovers(fs, pending, present), 1);
    EXPECT_TRUE(pending.empty());
    EXPECT_TRUE(TreeOf(a).empty());
}

// A rotation killed after any of its moves is undone by the next run: every version is back in
// its place, the new copy is only left staged for the sweep.
TEST(LeftoversTest, ARotationKilledAfterAnyMoveIsUndone)
{
    TempDir dir;
    PosixFileSystem fs;
    const auto dst = dir / "ziel";
    const std::string aside = (dst / ("Generation.3/.a." + Tag + "-old")).string();
    const std::string staged = (dst / (".a." + Tag + "-new0")).string();
    auto g = [&](int n) { return (dst / ("Generation." + std::to_string(n)) / "a").string(); };
    const RotationMoves moves = {
        {g(3), aside}, {g(2), g(3)}, {g(1), g(2)}, {(dst / "a").string(), g(1)}, {staged, (dst / "a").string()}};
    for (std::size_t killedAfter = 0; killedAfter <= moves.size(); ++killedAfter) {
        std::filesystem::remove_all(dst);
        MakeFile(dst / "a", "v3");
        MakeFile(g(1), "v2");
        MakeFile(g(2), "v1");
        MakeFile(g(3), "v0");
        MakeFile(staged, "v4");
        for (std::size_t i = 0; i < killedAfter; ++i)
            ASSERT_TRUE(fs.MoveFile(moves[i].first, moves[i].second).ok());
        EXPECT_EQ(UndoRotation(fs, moves), static_cast<int>(killedAfter)) << killedAfter;
        EXPECT_EQ(ReadFileBytes(dst / "a"), "v3") << killedAfter;
        EXPECT_EQ(ReadFileBytes(g(1)), "v2") << killedAfter;
        EXPECT_EQ(ReadFileBytes(g(2)), "v1") << killedAfter;
        EXPECT_EQ(ReadFileBytes(g(3)), "v0") << killedAfter;
        EXPECT_FALSE(std::filesystem::exists(aside)) << killedAfter;
        EXPECT_EQ(SweepLeftovers(fs, dst.string() + "/", true, Tag), 1) << killedAfter;
        EXPECT_EQ(TreeOf(dst), (std::vector<std::string>{"Generation.1/", "Generation.1/a", "Generation.2/",
                                                         "Generation.2/a", "Generation.3/", "Generation.3/a", "a"}))
            << killedAfter;
    }
}

} // namespace
