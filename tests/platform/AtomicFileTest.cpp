#include "platform/AtomicFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(AtomicFileTest, ReplacesTheFileWhole)
{
    TempDir dir;
    const auto file = dir / "settings.ini";
    WriteFileBytes(file, "old");
    EXPECT_FALSE(WriteFileAtomically(file, "new content", true));
    EXPECT_EQ(ReadFileBytes(file), "new content");
    struct stat st
    {
    };
    ::stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(AtomicFileTest, AMissingFolderIsReported)
{
    TempDir dir;
    const auto failure = WriteFileAtomically(dir / "missing/Backup.bpf", "x", true);
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->empty());
}

} // namespace
