#include "engine/Leftovers.h"

#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <gtest/gtest.h>

namespace {

TEST(LeftoversTest, OnlyTheNamesOfARunsOwnFilesAreTakenForLeftovers)
{
    const struct
    {
        const char* name;
        WorkName kind;
    } cases[] = {
        {".a.txt.tresorio-4711-3", WorkName::Discard},  // a copy under way
        {".a.txt.tresorio-new-12", WorkName::Discard},  // a new copy waiting for its place
        {".a.txt.tresorio-old", WorkName::MovedAside},  // the last good copy, moved aside
        {".x.zip.tresorio-volume", WorkName::Discard},  // a volume being written
        {".x.zip.tresorio-volumes", WorkName::Discard}, // the folder of a new set of volumes
        {".tresorio-zip-123456789", WorkName::Discard}, // an archive being built
        {"a.txt.tresorio-4711-3", WorkName::None},      // not hidden: not ours
        {".a.txt.tresorio-new-", WorkName::None},
        {".a.txt.tresorio-4711", WorkName::None},
        {".tresorio-zip-abc", WorkName::None},
        {".tresorio-old", WorkName::None},
        {".config", WorkName::None},
        {"", WorkName::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WorkNameOf(c.name), c.kind) << c.name;
}

TEST(LeftoversTest, AKilledRunsFilesGoAndACopyMovedAsideComesBack)
{
    TempDir dir;
    PosixFileSystem fs;
    const auto dst = dir / "ziel";
    MakeFile(dst / ".a.txt.tresorio-4711-3", "halb");
    MakeFile(dst / "sub/.b.txt.tresorio-new-0", "neu, nicht geprüft");
    MakeFile(dst / "sub/.c.txt.tresorio-old", "die gute Kopie"); // its place is empty: it goes back
    MakeFile(dst / "sub/.d.txt.tresorio-old", "die alte Kopie"); // a new one took its place
    MakeFile(dst / "sub/d.txt", "die neue Kopie");
    MakeFile(dst / ".tresorio-zip-98765/x.zip", "halbes Archiv");
    MakeFile(dst / ".x.zip.tresorio-volumes/x.z01", "halber Teil");
    MakeFile(dst / ".config/bleibt", "eine Datei des Benutzers");
    MakeFile(dst / "a.txt", "bleibt");

    // Only the top of a folder that is searched by itself.
    EXPECT_EQ(SweepLeftovers(fs, dst.string(), false), 3);
    EXPECT_EQ(TreeOf(dst),
              (std::vector<std::string>{".config/", ".config/bleibt", "a.txt", "sub/", "sub/.b.txt.tresorio-new-0",
                                        "sub/.c.txt.tresorio-old", "sub/.d.txt.tresorio-old", "sub/d.txt"}));
    EXPECT_EQ(SweepLeftovers(fs, dst.string() + "/", true), 3);
    EXPECT_EQ(TreeOf(dst),
              (std::vector<std::string>{".config/", ".config/bleibt", "a.txt", "sub/", "sub/c.txt", "sub/d.txt"}));
    EXPECT_EQ(ReadFileBytes(dst / "sub/c.txt"), "die gute Kopie");
    EXPECT_EQ(ReadFileBytes(dst / "sub/d.txt"), "die neue Kopie");
}

TEST(LeftoversTest, TheNoteOfARunThatDidNotEndNamesItsFolders)
{
    TempDir dir;
    RunMarker marker(dir.path().string(), "Täglich");
    EXPECT_TRUE(marker.Unfinished().empty());
    marker.Begin({"/ziel/", "/tmp"});
    EXPECT_EQ(RunMarker(dir.path().string(), "Täglich").Unfinished(), (std::vector<std::string>{"/ziel/", "/tmp"}));
    EXPECT_TRUE(RunMarker(dir.path().string(), "Anders").Unfinished().empty());
    marker.End();
    EXPECT_TRUE(RunMarker(dir.path().string(), "Täglich").Unfinished().empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

} // namespace
