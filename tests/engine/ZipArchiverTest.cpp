#include "engine/LibzipArchiver.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/Shell.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

class ZipArchiverTest : public ::testing::Test
{
protected:
    TempDir dir;
    PosixFileSystem fs;
    std::vector<std::string> errors;
    std::vector<std::size_t> skipped;
    ZipCallbacks callbacks;

    ZipArchiverTest()
    {
        callbacks.error = [this](int code, const std::string& message) {
            errors.push_back(message + " (" + std::to_string(code) + ")");
        };
        callbacks.fileSkipped = [this](std::size_t index) { skipped.push_back(index); };
    }

    ZipEntry entry(const std::string& name, const std::filesystem::path& path)
    {
        ZipEntry e;
        e.path = path.string();
        e.name = name;
        // As the walk saw it: the archiver reports a file that changed after that.
        if (const auto seen = fs.Stat(e.path))
            e.entry = *seen;
        return e;
    }
};

TEST_F(ZipArchiverTest, AFileThatCannotBeReadIsReportedAndTheOthersAreArchived)
{
    MakeFile(dir / "a.txt", std::string(1000, 'a'));
    ZipOptions options;
    options.archivePath = (dir / "x.zip").string();
    const auto size = LibzipArchiver(fs).Write(
        options, {entry("a.txt", dir / "a.txt"), entry("fehlt.txt", dir / "fehlt.txt")}, callbacks);
    ASSERT_TRUE(size);
    EXPECT_EQ(errors, (std::vector<std::string>{"fehlt.txt: No such file or directory (1)"}));
    EXPECT_EQ(skipped, (std::vector<std::size_t>{1}));
    EXPECT_EQ(RunShell("unzip -Z1 " + options.archivePath).second, "a.txt\n");
    EXPECT_TRUE(RunShell("unzip -tq " + options.archivePath).first);
}

TEST_F(ZipArchiverTest, ANewArchiveKeepsTheOldCopyOfAFileThatCannotBeRead)
{
    MakeFile(dir / "a.txt", "alt a");
    MakeFile(dir / "b.txt", "alt b");
    MakeFile(dir / "weg.txt", "gelöscht seither");
    ZipOptions options;
    options.archivePath = (dir / "x.zip").string();
    ASSERT_TRUE(LibzipArchiver(fs).Write(
        options, {entry("a.txt", dir / "a.txt"), entry("b.txt", dir / "b.txt"), entry("weg.txt", dir / "weg.txt")},
        callbacks));
    MakeFile(dir / "a.txt", "neu a");
    std::filesystem::remove(dir / "weg.txt");
    // A FIFO where the file was: it is never waited for, and never read.
    std::filesystem::remove(dir / "b.txt");
    ASSERT_EQ(::mkfifo((dir / "b.txt").c_str(), 0600), 0);
    for (const int level : {5, 0}) {
        errors.clear();
        options.level = level;
        ASSERT_TRUE(LibzipArchiver(fs).Write(options, {entry("a.txt", dir / "a.txt"), entry("b.txt", dir / "b.txt")},
                                             callbacks));
        EXPECT_EQ(errors.size(), 1u) << level;
        EXPECT_EQ(RunShell("unzip -p " + options.archivePath + " a.txt").second, "neu a");
        EXPECT_EQ(RunShell("unzip -p " + options.archivePath + " b.txt").second, "alt b"); // kept from before
        EXPECT_EQ(RunShell("unzip -Z1 " + options.archivePath).second, "a.txt\nb.txt\n");
    }
}

TEST_F(ZipArchiverTest, AFileThatChangesAfterTheWalkSawItIsReported)
{
    MakeFile(dir / "a.txt", "so war es");
    MakeFile(dir / "b.txt", "bleibt");
    const std::vector<ZipEntry> entries = {entry("a.txt", dir / "a.txt"), entry("b.txt", dir / "b.txt")};
    MakeFile(dir / "a.txt", "so ist es jetzt, länger");
    ZipOptions options;
    options.archivePath = (dir / "x.zip").string();
    ASSERT_TRUE(LibzipArchiver(fs).Write(options, entries, callbacks));
    EXPECT_EQ(errors, (std::vector<std::string>{"a.txt: während des Archivierens geändert (32)"}));
    EXPECT_EQ(skipped, (std::vector<std::size_t>{0}));
}

TEST_F(ZipArchiverTest, AFileThatKeepsGrowingIsReadOnlyAsFarAsItWasLong)
{
    // A download or a log that grows faster than it can be read: here by 4 MiB each time the
    // archiver looks whether to go on, after each piece it has read.
    const auto file = dir / "wächst.log";
    MakeFile(file, Noise(2 << 20));
    const std::vector<ZipEntry> entries = {entry("wächst.log", file)};
    int grown = 0;
    callbacks.cancelled = [&] {
        if (grown < 64)
            std::filesystem::resize_file(file, std::filesystem::file_size(file) + (std::uintmax_t{4} << 20));
        ++grown;
        return false;
    };
    ZipOptions options;
    options.archivePath = (dir / "x.zip").string();
    ASSERT_TRUE(LibzipArchiver(fs).Write(options, entries, callbacks));
    // Read as far as it was long when its entry began, not on and on.
    const std::string entrySize = RunShell("unzip -p " + options.archivePath + " | wc -c").second;
    EXPECT_LT(std::stoull(entrySize) * 4, std::filesystem::file_size(file)) << entrySize;
    EXPECT_EQ(errors, (std::vector<std::string>{"wächst.log: während des Archivierens geändert (32)"}));
}

TEST_F(ZipArchiverTest, AnArchiveThatFitsOneVolumeOpensEverywhere)
{
    MakeFile(dir / "a.txt", std::string(1000, 'a'));
    ZipOptions options;
    options.archivePath = (dir / "x.zip").string();
    ASSERT_TRUE(LibzipArchiver(fs).Write(options, {entry("a.txt", dir / "a.txt")}, callbacks));
    SpanMedium medium;
    medium.freeSpace = [] { return std::optional<std::int64_t>(1LL << 30); };
    std::filesystem::create_directories(dir / "medium");
    const std::string split = (dir / "medium/x.zip").string();
    for (const std::int64_t volumeSize : {std::int64_t{0}, std::int64_t{1} << 20}) {
        const SpanOutcome outcome = WriteVolumes(options.archivePath, split, volumeSize, medium, {});
        ASSERT_EQ(outcome.code, 0) << outcome.message;
        EXPECT_EQ(outcome.volumes, 1);
        EXPECT_EQ(TreeOf(dir / "medium"), (std::vector<std::string>{"x.zip"}));
        EXPECT_TRUE(RunShell("unzip -tq " + split).first) << RunShell("unzip -tq " + split).second;
        EXPECT_TRUE(RunShell("7z t " + split).first);
    }
    // Volumes too small to hold a header are refused before anything is written.
    const SpanOutcome tiny = WriteVolumes(options.archivePath, split, 1000, medium, {});
    EXPECT_EQ(tiny.code, 1);
    EXPECT_EQ(tiny.message, "Volumengröße 1000 Bytes ist kleiner als 65536");
}

TEST_F(ZipArchiverTest, MoreThan65535EntriesAreWrittenAsZip64AndSplitIntoVolumes)
{
    MakeFile(dir / "eins.txt", "1");
    std::vector<ZipEntry> entries;
    for (int i = 0; i < 70'000; ++i)
        entries.push_back(entry("ordner/datei-" + std::to_string(i) + ".txt", dir / "eins.txt"));
    ZipOptions options;
    options.archivePath = (dir / "viele.zip").string();
    ASSERT_TRUE(LibzipArchiver(fs).Write(options, entries, callbacks));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(RunShell("unzip -Z1 " + options.archivePath + " | wc -l").second, "70000\n");
    EXPECT_TRUE(RunShell("unzip -tq " + options.archivePath).first);

    // Split, the central directory alone fills several volumes and the end records are Zip64.
    SpanMedium medium;
    medium.freeSpace = [] { return std::optional<std::int64_t>(1LL << 40); };
    std::filesystem::create_directories(dir / "geteilt");
    const std::string split = (dir / "geteilt/viele.zip").string();
    const SpanOutcome outcome = WriteVolumes(options.archivePath, split, 1 << 20, medium, {});
    ASSERT_EQ(outcome.code, 0) << outcome.message;
    EXPECT_GE(outcome.volumes, 5);
    const auto listing = RunShell("7z l " + split);
    EXPECT_TRUE(listing.first) << listing.second;
    EXPECT_NE(listing.second.find("70000 files"), std::string::npos) << listing.second;
    EXPECT_TRUE(RunShell("7z t " + split).first);
}

TEST_F(ZipArchiverTest, AnEntryOverFourGiBIsWrittenAsZip64)
{
    const auto big = dir / "gross.bin";
    MakeFile(big, "");
    ASSERT_EQ(::truncate(big.c_str(), (4LL << 30) + 12345), 0); // sparse: no room taken
    ZipOptions options;
    options.archivePath = (dir / "gross.zip").string();
    options.level = 1;
    ASSERT_TRUE(LibzipArchiver(fs).Write(options, {entry("gross.bin", big)}, callbacks));
    EXPECT_TRUE(errors.empty());
    const auto listing = RunShell("unzip -Zl " + options.archivePath);
    EXPECT_NE(listing.second.find("4294979641"), std::string::npos) << listing.second;
    EXPECT_TRUE(RunShell("unzip -tq " + options.archivePath).first);
}

} // namespace
