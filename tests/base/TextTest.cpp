#include "base/Text.h"

#include "base/Message.h"

#include <gtest/gtest.h>

namespace {

TEST(TextTest, Windows1252TextBecomesUtf8)
{
    EXPECT_EQ(Cp1252ToUtf8("M\xFCller \x80 \xC4\xD6\xDC\xDF"), "Müller € ÄÖÜß");
    EXPECT_EQ(DecodeStoredText("Gr\xF6\xDF"
                               "e"),
              "Größe");
    EXPECT_EQ(DecodeStoredText("Größe"), "Größe");
    EXPECT_EQ(DecodeStoredText("\xEF\xBB\xBF[Signature]"), "[Signature]");
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));     // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));     // cut short
}

TEST(TextTest, UpperCaseKeepsByteLength)
{
    EXPECT_EQ(UpperCase("daten-ä-ÿ-œ-ž-straße"), "DATEN-Ä-Ÿ-Œ-Ž-STRAßE");
    EXPECT_TRUE(SameText("Tägliche Sicherung", "TÄGLICHE sicherung"));
    EXPECT_FALSE(SameText("a", "ab"));
    EXPECT_EQ(FindNoCase("x$DaTe", "$date"), 1u);
}

TEST(TextTest, TrimCutAndLines)
{
    EXPECT_EQ(Trim(" \t\x01 a b \r\n"), "a b");
    EXPECT_EQ(CutToChars("äöü", 2), "äö");
    EXPECT_EQ(CharCount("äöü"), 3u);
    const std::vector<std::string> lines = {"a", "", "b", "c"};
    EXPECT_EQ(SplitLines("a\r\n\nb\rc\r\n"), lines);
    EXPECT_EQ(SplitLines("a\r\n\nb\rc"), lines);
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(TextTest, ParseIntegerAcceptsOnlyDecimalsInRange)
{
    long long n = 0;
    EXPECT_TRUE(ParseInteger("-12", -100, 100, n));
    EXPECT_EQ(n, -12);
    EXPECT_TRUE(ParseInteger("+7", 0, 10, n));
    EXPECT_EQ(n, 7);
    for (const char* bad : {"", "-", "+", " 1", "1 ", "1a", "0x10", "300", "++1"})
        EXPECT_FALSE(ParseInteger(bad, 0, 255, n)) << bad;
}

} // namespace

TEST(TextTest, CommaTextKeepsEveryLine)
{
    const std::vector<std::vector<std::string>> lists = {
        {"*.txt", "*.htm", ""},
        {"mit Blank", "a,b", "\"zitiert\""},
        {"*.ini"},
        {},
    };
    for (const auto& lines : lists)
        EXPECT_EQ(SplitCommaText(JoinCommaText(lines)), lines) << JoinCommaText(lines);
    EXPECT_EQ(JoinCommaText({"*.txt", "*.htm", ""}), "*.txt,*.htm,");
    EXPECT_EQ(JoinCommaText({""}), "\"\"");
    EXPECT_EQ(JoinCommaText({"a b", "c\"d"}), "\"a b\",\"c\"\"d\"");
    EXPECT_EQ(SplitCommaText("*.txt *.htm,*.ini"), (std::vector<std::string>{"*.txt", "*.htm", "*.ini"}));
}

TEST(TextTest, AMessageFillsItsPlacesInOnePass)
{
    const struct
    {
        Message message;
        const char* german;
    } cases[] = {
        {Message("Protokoll %1 kann nicht geschrieben werden.", {"/daten/Backup.log"}),
         "Protokoll /daten/Backup.log kann nicht geschrieben werden."},
        {Message("%2 vor %1", {"eins", "zwei"}), "zwei vor eins"},
        // A value is never read as a format: a name may hold "%2".
        {Message("%1 und %2", {"Rabatt %2", "x"}), "Rabatt %2 und x"},
        // Without values, and where a value is missing, nothing is replaced.
        {Message("50%1 sicher"), "50%1 sicher"},
        {Message("%1 und %2", {"a"}), "a und %2"},
        {Message("100 %", {"a"}), "100 %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.message.German(), c.german);
}
