#include "scheduler/ScheduleText.h"

#include <gtest/gtest.h>

namespace {

TEST(ScheduleTextTest, Tokens)
{
    EXPECT_EQ(ExtractToken("a;b;c", ';', 1), "a");
    EXPECT_EQ(ExtractToken("a;b;c", ';', 2), "b");
    EXPECT_EQ(ExtractToken("a;b;c", ';', 3), "c");
    EXPECT_EQ(ExtractToken("a;b;c", ';', 4), "");
    EXPECT_EQ(ExtractToken("a; b ;c", ';', 2), " b ");
    EXPECT_EQ(ExtractToken("a;;c", ';', 2), "");
    // Each step keeps at most 2000 characters of the rest.
    const std::string longList = "x;" + std::string(1999, 'y') + ";z;w";
    EXPECT_EQ(ExtractToken(longList, ';', 3), "");
    EXPECT_EQ(ExtractToken("x;" + std::string(1998, 'y') + ";z;w", ';', 3), "z");

    EXPECT_EQ(CountTokens("", ';'), 0);
    EXPECT_EQ(CountTokens(" \t", ';'), 0);
    EXPECT_EQ(CountTokens("12:00", ';'), 1);
    EXPECT_EQ(CountTokens("12:00; 16:30;", ';'), 3);
}

TEST(ScheduleTextTest, TimesAndDates)
{
    struct Case
    {
        const char* in;
        const char* out;
    };
    for (const Case c :
         {Case{"9", "09:00"}, Case{"25:70", "23:59"}, Case{"1230", "23:00"}, Case{"7:5", "07:05"}, Case{"", "00:00"},
          Case{"ab", "00:00"}, Case{"99999999999:7", "23:07"}, Case{" 8 h : 15 ", "08:15"}})
        EXPECT_EQ(NormaliseTimeText(c.in), c.out) << c.in;

    EXPECT_EQ(PadLeftTo("7", '0', 2), "07");
    EXPECT_EQ(PadLeftTo("123", '0', 2), "23");

    EXPECT_EQ(ReadDate(" 1.3.2002 "), *TryEncodeDate(2002, 3, 1));
    for (const char* bad : {"31.2.2002", "x", "1.3", "1.3.2002x", ""})
        EXPECT_EQ(ReadDate(bad), 0.0) << bad;
    EXPECT_EQ(ReadTime("12:30"), *TryEncodeTime(12, 30));
    EXPECT_EQ(ReadTime("00:00"), 0.0);
    EXPECT_TRUE(TryReadTime("00:00"));
    for (const char* bad : {"24:00", "12", "12:60", "12:x", ""})
        EXPECT_FALSE(TryReadTime(bad)) << bad;
    EXPECT_EQ(TimeOfToken("08:00; 16:30", 2), *TryEncodeTime(16, 30));
    EXPECT_EQ(TimeOfToken("08:00;", 2), 0.0);

    EXPECT_EQ(NormaliseDateText("1.3.2002"), "01.03.2002");
    EXPECT_EQ(NormaliseDateText("kein Datum"), "30.12.1899");
    EXPECT_EQ(FormatDate(MonthStart(*TryEncodeDate(2004, 2, 17))), "01.02.2004");
    EXPECT_EQ(FormatDate(MonthEnd(*TryEncodeDate(2004, 2, 17))), "29.02.2004");
    EXPECT_EQ(FormatDate(MonthEnd(*TryEncodeDate(2003, 12, 31))), "31.12.2003");
}

TEST(ScheduleTextTest, NormalisedLists)
{
    struct Case
    {
        const char* in;
        const char* times;
        const char* moments;
    };
    const Case cases[] = {
        {"9:5;16:30", "09:05; 16:30", "30.12.1899-00:00; 30.12.1899-00:00"},
        {"25:70", "23:59", "30.12.1899-00:00"},
        {"", "", ""},
        {"9;;16", "09:00", "30.12.1899-00:00"}, // the list ends at the first empty item
        {"a;16:30", "", ""},                    // a first item without digits ends it at once
        {"9;abc", "09:00; 00:00", "30.12.1899-00:00; 30.12.1899-00:00"},
        {"1.3.2002-12:35", "23:35", "01.03.2002-12:35"},
        {"1.3.2002 - 12:35; 24.12.2026-18", "23:35; 23:00", "01.03.2002-12:35; 24.12.2026-18:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormaliseTimeList(c.in), c.times) << c.in;
        EXPECT_EQ(NormaliseFreeList(c.in), c.moments) << c.in;
    }
}

} // namespace
