#include "profiles/ProfileRowTexts.h"

#include <gtest/gtest.h>

namespace {

TProfile profile(std::uint8_t type, bool compress, std::uint8_t period, DateTime last, DateTime next, int errors = 0)
{
    TProfile p;
    p.Name = "Daten";
    p.Backuptype = type;
    p.Compress = compress;
    p.Period = period;
    p.LastRun = last;
    p.NextRun = next;
    p.Errors = errors;
    return p;
}

const DateTime Moment = 37626.5; // 05.01.2003 12:00

TEST(ProfileRowTextsTest, RefreshedRows)
{
    struct Case
    {
        TProfile p;
        bool running;
        const char* last;
        const char* next;
        const char* mode;
    };
    const Case cases[] = {
        {profile(1, false, 3, NoRun, Moment), false, "-", "05.01.2003 12:00", "Vollsicherung"},
        {profile(2, true, 1, Moment, Moment), false, "05.01.2003 12:00", "-", "Inkrementell, komprimieren"},
        {profile(5, true, 3, Moment, NoRun, 3), false, "05.01.2003 12:00 (3 Err)", "-", "Differenziell, komprimieren"},
        {profile(3, true, 3, 0.0, Moment), false, "30.12.1899 00:00", "05.01.2003 12:00", "Dateien löschen"},
        {profile(6, true, 3, Moment, Moment), true, "läuft...", "05.01.2003 12:00", "Synchronisieren"},
        {profile(9, true, 3, Moment, Moment), false, "05.01.2003 12:00", "05.01.2003 12:00", "Dateien verschieben"},
    };
    for (const Case& c : cases) {
        const ProfileRowTexts t = RefreshedRowTexts(c.p, c.running);
        EXPECT_EQ(t.lastRun, c.last);
        EXPECT_EQ(t.nextRun, c.next);
        EXPECT_EQ(t.mode, c.mode);
    }
}

TEST(ProfileRowTextsTest, AddedRows)
{
    EXPECT_EQ(AddedRowTexts(profile(9, true, 3, NoRun, Moment)).mode, ", komprimieren");
    EXPECT_EQ(AddedRowTexts(profile(4, true, 3, NoRun, Moment)).mode, "Dateien verschieben, komprimieren");
    const ProfileRowTexts t = AddedRowTexts(profile(1, false, 1, Moment, Moment, 2));
    EXPECT_EQ(t.lastRun, "05.01.2003 12:00");
    EXPECT_EQ(t.nextRun, "-");
}

} // namespace
