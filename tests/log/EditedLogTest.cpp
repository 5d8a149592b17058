// Saving an edited log while runs append to it: what the file became since it was read.

#include "log/EditedLog.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(EditedLogTest, TheLogSinceItWasReadIsUnchangedGrownOrChanged)
{
    const std::string read = "=== Profil A\r\nkopiert\r\n";
    const LogBaseline baseline = LogBaseline::Of(read);
    struct Case
    {
        std::string now;
        LogSince::Kind kind;
        std::string added;
    };
    for (const Case& c : std::initializer_list<Case>{
             {read, LogSince::Unchanged, ""},
             {read + "=== Profil B\r\n", LogSince::Grown, "=== Profil B\r\n"},
             {"kopiert\r\n", LogSince::Changed, ""},                         // trimmed in front
             {"=== Profil X\r\nkopiert\r\n", LogSince::Changed, ""},         // same size, other bytes
             {"=== Profil X\r\nkopiert\r\nmehr\r\n", LogSince::Changed, ""}, // other bytes, then grown
             {"", LogSince::Changed, ""},                                    // emptied
         }) {
        SCOPED_TRACE(c.now);
        const LogSince since = CompareLog(c.now, baseline);
        EXPECT_EQ(since.kind, c.kind);
        EXPECT_EQ(since.added, c.added);
    }
    // An empty log that was read takes anything appended.
    EXPECT_EQ(CompareLog("neu\r\n", LogBaseline::Of({})).kind, LogSince::Grown);
}

TEST(EditedLogTest, AppendedReportsStartOnALineOfTheirOwn)
{
    EXPECT_EQ(WithAppendedReports("bearbeitet", "=== B\r\n"), "bearbeitet\r\n=== B\r\n");
    EXPECT_EQ(WithAppendedReports("bearbeitet\r\n", "=== B\r\n"), "bearbeitet\r\n=== B\r\n");
    EXPECT_EQ(WithAppendedReports("", "=== B\r\n"), "=== B\r\n");
}

TEST(EditedLogTest, AMissingLogReadsAsNoneAndAnyBytesReadBack)
{
    TempDir dir;
    EXPECT_FALSE(ReadWholeLog(dir / "Backup.log"));
    const std::string bytes("\0\xff\r\nÄ", 6);
    WriteFileBytes(dir / "Backup.log", bytes);
    EXPECT_EQ(ReadWholeLog(dir / "Backup.log"), bytes);
}

} // namespace
