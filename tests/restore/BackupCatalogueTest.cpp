#include "restore/BackupCatalogue.h"

#include "restore/FolderBackupReader.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t Second = 1'000'000'000;

StoredVersion copy(std::int64_t seconds, int generation)
{
    StoredVersion v;
    v.mtimeNs = seconds * Second;
    v.storedNs = v.mtimeNs;
    v.generation = generation;
    v.location = "g" + std::to_string(generation);
    return v;
}

StoredVersion entry(const std::string& archive, std::int64_t archiveSeconds, std::int64_t seconds)
{
    StoredVersion v;
    v.place = StoredPlace::Archive;
    v.location = archive;
    v.mtimeNs = seconds * Second;
    v.storedNs = archiveSeconds * Second;
    return v;
}

std::string chosen(const BackupCatalogue& c, std::optional<std::int64_t> seconds, bool wholeSets)
{
    std::string out;
    for (const auto& item :
         c.StateAt(seconds ? std::optional<std::int64_t>(*seconds * Second) : std::nullopt, wholeSets))
        out += item.sub + "=" + item.version->location + "@" + std::to_string(item.version->mtimeNs / Second) + " ";
    return out;
}

TEST(BackupCatalogueTest, AMomentPicksTheNewestVersionStoredUpToIt)
{
    // Generations: the current copy is older than a version in Generation.1 when the clock of
    // the source went back; without a moment the current copy still wins.
    BackupCatalogue generations;
    generations.Add("a", copy(300, 0));
    generations.Add("a", copy(200, 1));
    generations.Add("a", copy(100, 2));
    generations.Add("b", copy(100, 0));
    generations.Add("b", copy(400, 1));
    struct Case
    {
        std::optional<std::int64_t> at;
        std::string expected;
    };
    for (const Case& c : std::vector<Case>{
             {std::nullopt, "a=g0@300 b=g0@100 "}, {250, "a=g1@200 b=g0@100 "}, {100, "a=g2@100 b=g0@100 "}, {99, ""}})
        EXPECT_EQ(chosen(generations, c.at, false), c.expected) << c.at.value_or(-1);

    // Dated archives: a file missing from the newest archive up to the moment was gone then,
    // when every archive is a whole backup; archives that build on each other add up.
    BackupCatalogue archives;
    archives.Add("a", entry("1.zip", 1000, 10));
    archives.Add("weg", entry("1.zip", 1000, 10));
    archives.Add("a", entry("2.zip", 2000, 20));
    EXPECT_EQ(chosen(archives, std::nullopt, true), "a=2.zip@20 ");
    EXPECT_EQ(chosen(archives, 1500, true), "a=1.zip@10 weg=1.zip@10 ");
    EXPECT_EQ(chosen(archives, std::nullopt, false), "a=2.zip@20 weg=1.zip@10 ");
}

TEST(BackupCatalogueTest, NotesGiveTheCopyWhatItsMediumCouldNotKeep)
{
    BackupCatalogue c;
    c.Add({}, copy(1, 0));
    c.Add("ordner/", copy(1, 0));
    c.Add("ordner/datei", copy(1, 0));
    AddNotes(std::string(KeptMetadata::Heading) + "\n" +
                 "\td\t755\t0\t0\t5000000000\t\n"
                 "ordner\td\t700\t1\t2\t6000000000\t\n"
                 "ordner/datei\tf\t4755\t65534\t65534\t7000000000\t\tuser.farbe=726f74\n"
                 "ordner/verweis\tl\t777\t0\t0\t8000000000\t../ziel\n"
                 "ordner/geloescht\tf\t644\t0\t0\t9000000000\t\n"
                 "../aussen\tl\t777\t0\t0\t1\t/etc/passwd\n"
                 "/etc/cron.d/x\tp\t644\t0\t0\t1\t\n"
                 "ordner/./x\tl\t777\t0\t0\t1\tx\n"
                 "kaputt\tx\n",
             c);
    const auto& e = c.entries();
    EXPECT_EQ(e.at("").front().mode, 0755u);
    EXPECT_EQ(e.at("ordner/").front().mode, 0700u);
    const StoredVersion& file = e.at("ordner/datei").front();
    EXPECT_EQ(file.place, StoredPlace::Copy); // the content still comes from the copy
    EXPECT_EQ(file.mode, 04755u);
    EXPECT_EQ(file.owner, std::make_pair(65534u, 65534u));
    EXPECT_EQ(file.mtimeNs, 7 * Second);
    EXPECT_EQ(file.attributes, (std::vector<std::pair<std::string, std::string>>{{"user.farbe", "rot"}}));
    EXPECT_EQ(e.at("ordner/verweis").front().place, StoredPlace::NoteOnly);
    EXPECT_EQ(e.at("ordner/verweis").front().linkTarget, "../ziel");
    // A note of a file whose copy is gone gives nothing to restore; a damaged line, and one that
    // names a place outside the destination, are passed over.
    EXPECT_EQ(e.count("ordner/geloescht"), 0u);
    EXPECT_EQ(e.count("kaputt"), 0u);
    EXPECT_EQ(e.size(), 4u) << testing::PrintToString(e.size());
}

TEST(BackupCatalogueTest, WorkNamesOfRunsAreNoFilesOfTheBackup)
{
    for (const std::string name : {".a.txt.tresorio-0123456789ab-new3", ".tresorio-0123456789ab-erased",
                                   ".x.tresorio-abcdefabcdef-7", ".tresorio-0123456789ab-joined.zip"})
        EXPECT_TRUE(IsWorkName(name)) << name;
    for (const std::string name : {"tresorio-0123456789ab-new3", ".tresorio-metadaten", ".tresorio-0123-x", ".bashrc",
                                   ".a.tresorio-0123456789AB-1"})
        EXPECT_FALSE(IsWorkName(name)) << name;
}

} // namespace
