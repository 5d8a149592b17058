#include "restore/FtpRemoteFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(FtpRemoteFilesTest, AMachineListingGivesFilesAndFoldersWithTheirTimes)
{
    const std::vector<FileEntry> entries =
        ParseMachineListing("type=cdir;modify=20210101120000; .\r\n"
                            "type=pdir;modify=20210101120000; ..\r\n"
                            "type=file;size=3;modify=20210101120000;perm=r; a b.txt\r\n"
                            "Type=Dir;Modify=20220101120000.5; Ordner\r\n"
                            "type=OS.unix=slink:/etc; verweis\r\n"
                            "type=file;size=x;modify=20210101120000; kaputt\r\n"
                            "type=file;size=1; ohne Zeit\n"
                            "kein Faktum\r\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "a b.txt");
    EXPECT_EQ(entries[0].size, 3);
    EXPECT_EQ(entries[0].mtimeNs, 1609502400LL * 1'000'000'000);
    EXPECT_FALSE(entries[0].folder);
    EXPECT_EQ(entries[1].name, "Ordner");
    EXPECT_TRUE(entries[1].folder);
    EXPECT_EQ(entries[1].mtimeNs, 1641038400LL * 1'000'000'000);
    EXPECT_EQ(entries[2].name, "ohne Zeit");
    EXPECT_EQ(entries[2].mtimeNs, 0);
}

} // namespace
