#include "log/LogFile.h"

#include "base/Text.h"
#include "support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// A report of exactly bytes bytes (each line counted with CR LF), shaped like a real one.
std::vector<std::string> report(const std::string& name, std::int64_t bytes)
{
    std::vector<std::string> lines = {std::string(60, '='), "Profil                : " + name, std::string(60, '=')};
    std::int64_t used = 0;
    for (const std::string& l : lines)
        used += static_cast<std::int64_t>(l.size()) + 2;
    // The footer: a rule and an empty line.
    used += 62 + 2;
    const std::int64_t filler = bytes - used - 2;
    lines.push_back(std::string(static_cast<std::size_t>(filler), 'x'));
    lines.push_back(std::string(60, '='));
    lines.push_back("");
    return lines;
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::int64_t sizeOf(const std::vector<std::string>& lines)
{
    std::int64_t n = 0;
    for (const auto& l : lines)
        n += static_cast<std::int64_t>(l.size()) + 2;
    return n;
}

TEST(LogFileTest, TrimmingKeepsTheNewestWholeReports)
{
    const auto a = report("A", 400), b = report("B", 400), c = report("C", 400), d = report("D", 400);
    ASSERT_EQ(sizeOf(a), 400);

    // Three reports of 400 bytes and a fourth with a limit of 1 kB: the two newest stay, with
    // the empty line that ended the report before them.
    std::vector<std::string> expected = {""};
    expected.insert(expected.end(), c.begin(), c.end());
    expected.insert(expected.end(), d.begin(), d.end());
    EXPECT_EQ(TrimLogLines(concat({a, b, c, d}), 1024), expected);

    // Exactly at the limit nothing goes.
    EXPECT_EQ(TrimLogLines(concat({a, b}), 800), concat({a, b}));
    // A report larger than the limit stays whole; only the older ones go.
    const auto large = report("gross", 2000);
    std::vector<std::string> newest = {""};
    newest.insert(newest.end(), large.begin(), large.end());
    EXPECT_EQ(TrimLogLines(concat({a, large}), 1024), newest);
    // A fitting report that starts at line 1 keeps everything, even above the limit.
    const std::vector<std::string> early = concat({{"Kopfzeile"}, b});
    EXPECT_EQ(TrimLogLines(early, 401), early);
    // A rule inside a report, not followed by the "Profil" line, is never a cut point.
    std::vector<std::string> inner = report("E", 700);
    inner.insert(inner.begin() + 4, {std::string(60, '='), "Fehleranzahl          : 0"});
    EXPECT_EQ(TrimLogLines(concat({a, inner}), 900).size(), inner.size() + 1);
}

TEST(LogFileTest, AppendingCreatesTrimsAndWritesWhole)
{
    TempDir dir;
    LogFile log(dir / "Backup.log");
    EXPECT_TRUE(log.AppendReport(report("A", 400), 1024));
    std::string expected;
    for (const auto& l : report("A", 400))
        expected += l + "\r\n";
    EXPECT_EQ(ReadFileBytes(dir / "Backup.log"), expected);

    for (const char* name : {"B", "C", "D"})
        EXPECT_TRUE(log.AppendReport(report(name, 400), 1024));
    const std::string content = ReadFileBytes(dir / "Backup.log");
    EXPECT_EQ(content.find("Profil                : B"), std::string::npos);
    EXPECT_NE(content.find("Profil                : C"), std::string::npos);
    EXPECT_EQ(content.size(), 802u);

    // A report larger than the limit never empties the log: it stays, whole.
    EXPECT_TRUE(log.AppendReport(report("Gross", 5000), 1024));
    const std::string large = ReadFileBytes(dir / "Backup.log");
    EXPECT_EQ(large.size(), 5002u);
    EXPECT_NE(large.find("Profil                : Gross"), std::string::npos);
    EXPECT_EQ(large.find("Profil                : D"), std::string::npos);
}

TEST(LogFileTest, AnOlderLogInWindows1252IsKeptAndExtended)
{
    TempDir dir;
    const std::string first = std::string(60, '=') + "\r\nProfil                : Erster\r\n\r\n";
    const std::string older = std::string(60, '=') + "\r\nProfil                : B\xFCro\r\n\r\n";
    WriteFileBytes(dir / "Backup.log", first + older);
    LogFile log(dir / "Backup.log");
    EXPECT_TRUE(log.AppendReport(report("Neu", 400), 1'024'000));
    // Appended, not rewritten: the older lines stay as they were, and read back line by line.
    const std::string content = ReadFileBytes(dir / "Backup.log");
    EXPECT_EQ(content.rfind(first + older, 0), 0u);
    EXPECT_EQ(DecodeStoredLines(content)[4], "Profil                : Büro");
    EXPECT_NE(content.find("Profil                : Neu"), std::string::npos);
    // Renewed when the oldest report goes: then in UTF-8.
    const auto limit = static_cast<std::int64_t>(older.size() + 2 * 400 + 10);
    EXPECT_TRUE(log.AppendReport(report("Noch", 400), limit));
    const std::string renewed = ReadFileBytes(dir / "Backup.log");
    EXPECT_TRUE(IsValidUtf8(renewed));
    EXPECT_EQ(renewed.find("Erster"), std::string::npos);
    EXPECT_NE(renewed.find("Profil                : Büro"), std::string::npos);
}

TEST(LogFileTest, NoNameCanBreakALineOrTheEncodingOfTheOthers)
{
    TempDir dir;
    // A log written partly by an older installation: one line in Windows-1252 among UTF-8 ones.
    WriteFileBytes(dir / "Backup.log", std::string(60, '=') + "\r\nProfil                : Groß\r\nB\xFCro\r\n\r\n");
    LogFile log(dir / "Backup.log");
    std::vector<std::string> lines = report("Neu", 400);
    lines.insert(lines.begin() + 3,
                 {"caf\xE9.txt", "evil\r\n" + std::string(60, '=') + "\nProfil  : x", "tab\there\x1B"});
    for (int i = 0; i < 3; ++i) // every append reads what the one before wrote
        ASSERT_TRUE(log.AppendReport(lines, 1'024'000));
    const std::string content = ReadFileBytes(dir / "Backup.log");
    const std::vector<std::string> back = DecodeStoredLines(content);
    EXPECT_EQ(back[1], "Profil                : Groß");
    EXPECT_EQ(back[2], "Büro");
    EXPECT_EQ(back[7], "caf\\xE9.txt");
    EXPECT_EQ(back[8], "evil\\r\\n" + std::string(60, '=') + "\\nProfil  : x");
    EXPECT_EQ(back[9], "tab\there\\x1B");
    EXPECT_EQ(std::count(back.begin(), back.end(), "Profil                : Neu"), 3);
}

TEST(LogFileTest, AReportThatCannotBeWrittenWaitsForTheNextOne)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "Backup.log"); // something that is not a readable log
    LogFile log(dir / "Backup.log");
    EXPECT_FALSE(log.AppendReport(report("A", 400), 1'024'000));
    EXPECT_TRUE(log.hasPending());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Backup.log")); // nothing was replaced
    std::filesystem::remove(dir / "Backup.log");
    EXPECT_TRUE(log.AppendReport(report("B", 400), 1'024'000));
    const std::string content = ReadFileBytes(dir / "Backup.log");
    EXPECT_LT(content.find("Profil                : A"), content.find("Profil                : B"));
    EXPECT_FALSE(log.hasPending());
}

TEST(LogFileTest, DeletingAsks)
{
    TempDir dir;
    LogFile log(dir / "Backup.log");
    std::vector<std::string> questions;
    auto answer = [&questions](bool yes) {
        return [&questions, yes](const std::string& q) {
            questions.push_back(q);
            return yes;
        };
    };
    EXPECT_FALSE(log.DelLogFile(answer(true)));
    EXPECT_TRUE(questions.empty()); // no file, no question
    log.AppendReport(report("A", 400), 1024);
    EXPECT_FALSE(log.DelLogFile(answer(false)));
    EXPECT_TRUE(std::filesystem::exists(dir / "Backup.log"));
    EXPECT_TRUE(log.DelLogFile(answer(true)));
    EXPECT_FALSE(std::filesystem::exists(dir / "Backup.log"));
    EXPECT_EQ(questions, (std::vector<std::string>{"Protokolldatei löschen", "Protokolldatei löschen"}));
}

} // namespace
