#include "engine/FileMasks.h"

#include <gtest/gtest.h>

namespace {

TEST(FileMasksTest, ExclusionMasks)
{
    struct Case
    {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Case cases[] = {
        {"x.tmp", "*.tmp", true},       {"X.TMP", "*.tmp", true},
        {"a.tar.gz", "*.gz", false},    {"a.tar.gz", "*.tar", true},
        {"ohnepunkt", "*.*", false},    {"a.b", "*.*", true},
        {"Temp", "temp", true},         {"Temp.txt", "temp", false},
        {"ABCD.x", "AB*X.x", true},     {"AB.x", "ABC*.x", false},
        {"abc.txt", "a?c.txt", true},   {"abcd.txt", "a?c.txt", false},
        {".hidden", "*.hidden", false}, {"a.", "a", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchFileMask(c.name, c.mask), c.matches) << c.name << " " << c.mask;
    EXPECT_TRUE(MatchMask("", ""));
    EXPECT_FALSE(MatchMask("", "*"));
}

TEST(FileMasksTest, SearchMasks)
{
    struct Case
    {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Case cases[] = {
        {"ohnepunkt", "*.*", true},         {"a.b.c", "*.*", true},         {"Brief.DOC", "*.doc", true},
        {"brief.docx", "*.doc", false},     {"abc", "a*.*", true},          {"a1.txt", "a?.txt", true},
        {"a12.txt", "a?.txt", false},       {"readme", "*.", true},         {"read.me", "*.", false},
        {"Grüße.txt", "grüsse.txt", false}, {"ÄRGER.TXT", "ärger.*", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesSearchMask(c.name, c.mask), c.matches) << c.name << " " << c.mask;
}

TEST(FileMasksTest, Lists)
{
    EXPECT_EQ(MaskEntries("a;;b;"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(MaskEntries("*.doc;*.xls;"), (std::vector<std::string>{"*.doc", "*.xls"}));
    EXPECT_EQ(IncludeMasks("   "), (std::vector<std::string>{"*.*"}));
    EXPECT_EQ(IncludeMasks(" *.doc ; *.xls;"), (std::vector<std::string>{"*.doc", "*.xls"}));
}

} // namespace
