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

TEST(LeftoversTest, TheNoteOfARunThatDidNotEndNamesItsTagAndFolders)
{
    TempDir dir;
    RunMarker marker(dir.path().string(), "Täglich");
    EXPECT_TRUE(marker.LastRun().folders.empty());
    marker.Begin(Tag, {"/ziel/", "/tmp"});
    const RunMarker::Unfinished last = RunMarker(dir.path().string(), "Täglich").LastRun();
    EXPECT_EQ(last.tag, Tag);
    EXPECT_EQ(last.folders, (std::vector<std::string>{"/ziel/", "/tmp"}));
    EXPECT_TRUE(RunMarker(dir.path().string(), "Anders").LastRun().folders.empty());
    marker.End();
    EXPECT_TRUE(RunMarker(dir.path().string(), "Täglich").LastRun().folders.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

} // namespace
