#include "base/DateTime.h"

#include <gtest/gtest.h>

namespace {

DateTime at(int y, int m, int d, int h = 0, int n = 0, int s = 0)
{
    return ComposeDateTime(*TryEncodeDate(y, m, d), *TryEncodeTime(h, n, s));
}

TEST(DateTimeTest, SpecialMomentsHaveTheirStoredForms)
{
    EXPECT_EQ(FormatStampedDateTime(NoRun), "01.01.1900 00:00:00");
    EXPECT_EQ(FormatStampedDateTime(OpenFrom), "31.12.1899 00:00:00");
    EXPECT_EQ(FormatStampedDateTime(OpenTo), "14.10.2173 00:00:00");
    EXPECT_EQ(FormatDateTime(0.0), "30.12.1899 00:00");
}

TEST(DateTimeTest, EncodeAndDecodeAgree)
{
    const DateTime moment = at(2003, 1, 5, 14, 7, 9);
    EXPECT_EQ(FormatStampedDateTime(moment), "05.01.2003 14:07:09");
    EXPECT_EQ(WeekdayMondayFirst(moment), 6); // a Sunday
    EXPECT_EQ(DateOf(moment), *TryEncodeDate(2003, 1, 5));
    EXPECT_EQ(FromLinearMs(ToLinearMs(moment)), moment);
    // Before 30.12.1899 the time of day still counts forward from midnight.
    const DateTime old = at(1899, 12, 1, 6, 0);
    EXPECT_LT(old, 0.0);
    EXPECT_EQ(FormatDateTime(old), "01.12.1899 06:00");
    EXPECT_EQ(FromLinearMs(ToLinearMs(old)), old);
}

TEST(DateTimeTest, ImpossibleDatesAndTimesAreRefused)
{
    EXPECT_FALSE(TryEncodeDate(2003, 2, 29));
    EXPECT_TRUE(TryEncodeDate(2004, 2, 29));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1));
    EXPECT_FALSE(TryEncodeTime(24, 0));
    EXPECT_FALSE(TryEncodeTime(12, 60));
}

TEST(DateTimeTest, ReadStampedDateTime)
{
    struct Case
    {
        const char* text;
        DateTime expected;
    };
    const Case cases[] = {
        {"05.01.2003 14:07:09", at(2003, 1, 5, 14, 7, 9)},
        {"  05.01.2003 14:07:09\t", at(2003, 1, 5, 14, 7, 9)},
        {"05/01/2003-14.07.09", at(2003, 1, 5, 14, 7, 9)}, // separators are not checked
        {"01.01.1900 00:00:00", NoRun},
        {"05.01.2003 14:07", 0.0},
        {"31.02.2003 14:07:09", 0.0},
        {"05.01.2003 24:00:00", 0.0},
        {"0x.01.2003 14:07:09", 0.0},
        {"", 0.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadStampedDateTime(c.text), c.expected) << c.text;
}

} // namespace
