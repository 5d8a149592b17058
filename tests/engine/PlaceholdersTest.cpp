#include "engine/Placeholders.h"

#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace {

DateTime at(int y, int m, int d, int h = 0, int n = 0)
{
    return ComposeDateTime(*TryEncodeDate(y, m, d), *TryEncodeTime(h, n));
}

PlaceholderValues sunday()
{
    PlaceholderValues v;
    v.now = at(2003, 1, 5, 14, 7); // Sunday
    v.userName = "anna";
    v.computerName = "werkbank";
    v.programsFolder = "/home/anna/.local/share/applications";
    v.windowsFolder = "/etc";
    v.systemFolder = "/usr/lib";
    v.personalFolder = "/home/anna/Dokumente";
    return v;
}

TEST(PlaceholdersTest, EveryPlaceholder)
{
    struct Case
    {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"$dayname", "Sonntag"},
        {"$shortdayname", "So"},
        {"$monthname", "Januar"},
        {"$shortmonthname", "Jan"},
        {"$year", "2003"},
        {"$shortyear", "03"},
        {"$shortdatetime", "030105-1407"},
        {"$shortdate", "030105"},
        {"$datetime", "20030105-1407"},
        {"$dayofyear", "005"},
        {"$weekofyear", "001"},
        {"$time", "1407"},
        {"$hour", "14"},
        {"$minute", "07"},
        {"$dayofweek", "1"},
        {"$username", "anna"},
        {"$computername", "werkbank"},
        {"$programfolder", "/home/anna/.local/share/applications"},
        {"$windowsfolder", "/etc"},
        {"$systemfolder", "/usr/lib"},
        {"$personalfolder", "/home/anna/Dokumente"},
        {"$day", "05"},
        {"$month", "01"},
        {"$date", "20030105"},
        {"$Date\\$DATETIME", "20030105\\20030105-1407"},
        {"/backup/$date/$date-$foo/", "/backup/20030105/20030105-$foo/"},
        {"", ""},
        {"ohne Platzhalter", "ohne Platzhalter"},
        {"$", "$"},
        {"$DAYNAMES", "SonntagS"},
    };
    const PlaceholderValues values = sunday();
    for (const Case& c : cases)
        EXPECT_EQ(ExpandPlaceholders(c.text, values), c.expected) << c.text;
}

TEST(PlaceholdersTest, CalendarCounts)
{
    struct Case
    {
        DateTime date;
        const char* week;
        const char* dayOfYear;
        const char* dayOfWeek;
    };
    const Case cases[] = {
        {at(2005, 1, 1), "053", "001", "7"},   // a Saturday in the last week of 2004
        {at(2008, 12, 29), "001", "364", "2"}, // a Monday in week 1 of 2009
        {at(2004, 12, 31), "053", "366", "6"}, {at(2003, 2, 1), "005", "032", "7"},
        {at(2026, 12, 10), "050", "344", "5"},
    };
    for (const Case& c : cases) {
        PlaceholderValues v = sunday();
        v.now = c.date;
        EXPECT_EQ(ExpandPlaceholders("$weekofyear $dayofyear $dayofweek", v),
                  std::string(c.week) + " " + c.dayOfYear + " " + c.dayOfWeek)
            << FormatDate(c.date);
    }
}

TEST(PlaceholdersTest, InsertedValues)
{
    PlaceholderValues v = sunday();
    v.userName = "";
    EXPECT_EQ(ExpandPlaceholders("/b/$username/", v), "/b//");
    // A value that holds its own placeholder is inserted once, not again and again.
    v.userName = "$username-$USERNAME";
    EXPECT_EQ(ExpandPlaceholders("$username/$username", v), "$username-$USERNAME/$username-$USERNAME");
    // Later placeholders still search what earlier ones inserted.
    v.userName = "x$day";
    EXPECT_EQ(ExpandPlaceholders("$username", v), "x05");
    v.personalFolder = "/home/$username";
    EXPECT_EQ(ExpandPlaceholders("$personalfolder", v), "/home/$username");
}

TEST(PlaceholdersTest, ValuesComeFromThePlatform)
{
    FakePlatform platform;
    const PlaceholderValues v = PlaceholderValuesFor(platform, at(2003, 1, 5, 14, 7), 1);
    EXPECT_EQ(ExpandPlaceholders("$personalfolder/$username@$computername-$dayname-$windowsfolder", v),
              "/home/anna/Dokumente/anna@werkbank-Sunday-/etc");
}

TEST(PlaceholdersTest, EnglishNames)
{
    PlaceholderValues v = sunday();
    v.names = &CalendarNamesFor(1);
    EXPECT_EQ(ExpandPlaceholders("$dayname $shortdayname $monthname $shortmonthname", v), "Sunday Sun January Jan");
    v.names = &CalendarNamesFor(0);
    v.now = at(2003, 3, 3);
    EXPECT_EQ(ExpandPlaceholders("$dayname $monthname $shortmonthname", v), "Montag März Mrz");
}

} // namespace
