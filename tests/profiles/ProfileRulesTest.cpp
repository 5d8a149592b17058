// The rules every way of making a profile follows: the destinations that would eat their own
// sources, proposed names, and duplicating.

#include "profiles/ProfileRules.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(ProfileRulesTest, DestinationsThatReachTheirSourcesAreFound)
{
    const std::vector<std::string> sources = {"/home/anna/Fotos/", "/srv/daten"};
    struct Case
    {
        const char* destination;
        bool clash;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"/home/anna/Fotos/", true},
             {"/home/anna/Fotos", true},            // without the slash
             {"/home/anna/Fotos/Sicherung/", true}, // inside the source
             {"/home/anna/", true},                 // holds the source
             {"/home/anna/Musik/../Fotos/", true},  // ".." reaches it
             {"//home//anna/./Fotos/", true},       // doubled slashes
             {"/srv/daten/$date/", true},           // placeholders below the source
             {"/srv/daten-$date/", false},          // the folder before the placeholder
             {"/home/anna/Fotos2/", false},         // a longer name is another folder
             {"/home/anna/fotos/", false},          // names differ by case here
             {"/", false},                          // the root is never compared
             {"Sicherung/", false},                 // relative: refused elsewhere
             {"/media/anna/USB/$computername/", false},
         }) {
        SCOPED_TRACE(c.destination);
        EXPECT_EQ(SourceDestinationClash(sources, c.destination).has_value(), c.clash);
    }
    EXPECT_FALSE(SourceDestinationClash({"", "   "}, "/home/"));
}

TEST(ProfileRulesTest, ProposedNames)
{
    EXPECT_EQ(ZipNameFor("Daten.alt"), "Daten.zip");
    EXPECT_EQ(ZipNameFor("Daten"), "Daten.zip");
    EXPECT_EQ(ZipNameFor("Fotos/2026.v1"), "Fotos_2026.zip");
    EXPECT_EQ(PickedDestination("/media/usb", "/alt/Backup/$date/"), "/media/usb/$date/");
    EXPECT_EQ(PickedDestination("/media/usb/", "/alt/"), "/media/usb/");
}

TEST(ProfileRulesTest, ADuplicateKeepsTheSettingsAndStartsItsStatisticsAgain)
{
    TProfile original;
    original.Name = "Täglich";
    original.Source = {"/a/", "/b/"};
    original.Destination = "/ziel/";
    original.LastRun = 45000.5;
    original.NextRun = 45001.5;
    original.LastGoodRun = 1700000000;
    original.LastSuccess = 46000.5;
    original.Errors = 3;
    original.FilesCount = 10;
    original.FilesSize = 1000;
    original.FilesCompressed = 4;
    original.RunRequest = true;
    std::vector<std::string> names = {"Täglich", "Täglich Kopie"};
    const auto taken = [&names](const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    const TProfile copy = DuplicateOf(original, taken);
    TProfile expected = original;
    expected.Name = "Täglich Kopie (2)";
    expected.Errors = 0;
    expected.FilesCount = 0;
    expected.FilesSize = 0;
    expected.FilesCompressed = 0;
    expected.RunRequest = false;
    expected.LastGoodRun = 0;
    expected.LastSuccess = NoRun; // the copy has not run well yet
    EXPECT_EQ(copy, expected);
    names.pop_back();
    EXPECT_EQ(DuplicateOf(original, taken).Name, "Täglich Kopie");
}
