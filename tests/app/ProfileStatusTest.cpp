// What --status says of a profile, without a process.

#include "app/ProfileStatus.h"

#include <gtest/gtest.h>

namespace {

constexpr DateTime Now = 46000.5; // 09.12.2025 12:00

TProfile daily(DateTime lastRun, std::int32_t errors, DateTime lastSuccess)
{
    TProfile p;
    p.Name = "Täglich";
    p.Period = PeriodDaily;
    p.DayOfWeek.fill(true);
    p.LastRun = lastRun;
    p.Errors = errors;
    p.LastSuccess = lastSuccess;
    p.NextRun = Now + 0.5;
    p.DateTimeTo = OpenTo;
    return p;
}

TEST(ProfileStatusTest, AProfileNeedsAttentionWhenItsLastRunFailedOrItIsOverdue)
{
    struct Case
    {
        const char* what;
        TProfile profile;
        bool failed;
        bool overdue;
    };
    TProfile unfinished = daily(Now - 0.1, 0, Now - 1);
    unfinished.RunUnfinished = true;
    TProfile never = daily(0.0, 0, 0.0);
    TProfile overdueButEnded = daily(Now - 10, 0, Now - 10);
    overdueButEnded.DateTimeTo = Now - 1; // its schedule is over: silence is expected
    const Case cases[] = {
        {"good", daily(Now - 0.1, 0, Now - 0.1), false, false},
        {"errors", daily(Now - 0.1, 2, Now - 1), true, false},
        {"killed during its run", unfinished, true, false},
        {"never ran", never, false, false},
        {"old errors, still within the margin", daily(Now - 2, 1, Now - 3), true, false},
        {"no error-free run for ten days", daily(Now - 10, 0, Now - 10), false, true},
        {"ten days silent and failed before", daily(Now - 10, 3, Now - 11), true, true},
        {"schedule over", overdueButEnded, false, false},
    };
    for (const Case& c : cases) {
        const ProfileStatus status = StatusOf(c.profile, Now, 3);
        EXPECT_EQ(LastRunFailed(c.profile), c.failed) << c.what;
        EXPECT_EQ(status.overdue, c.overdue) << c.what;
        EXPECT_EQ(NeedsAttention(status), c.failed || c.overdue) << c.what;
    }
    // The margin is the setting: thirty days make ten days of silence no alarm.
    EXPECT_FALSE(StatusOf(daily(Now - 10, 0, Now - 10), Now, 30).overdue);
}

TEST(ProfileStatusTest, LinesAndJsonCarryEveryField)
{
    ProfileStatus failed = StatusOf(daily(46000.25, 2, 45999.25), Now, 3);
    failed.name = "Büro\t\"neu\"\n";
    ProfileStatus never = StatusOf(daily(0.0, 0, 0.0), Now, 3);
    never.name = "-leer";
    never.nextRun.reset();
    EXPECT_EQ(StatusLines({failed, never}),
              "Büro\\t\"neu\"\\n\t09.12.2025 06:00\t08.12.2025 06:00\t2\t10.12.2025 00:00\t-\n"
              "-leer\t-\t-\t0\t-\t-\n");
    EXPECT_EQ(StatusJson({failed, never}),
              "[\n"
              "  {\"name\": \"Büro\\t\\\"neu\\\"\\n\", \"lastRun\": \"2025-12-09T06:00:00\", \"lastErrorFreeRun\": "
              "\"2025-12-08T06:00:00\", \"errors\": 2, \"runUnfinished\": false, \"failed\": true, \"nextRun\": "
              "\"2025-12-10T00:00:00\", \"overdue\": false, \"daysSinceErrorFreeRun\": 1},\n"
              "  {\"name\": \"-leer\", \"lastRun\": null, \"lastErrorFreeRun\": null, \"errors\": 0, "
              "\"runUnfinished\": false, \"failed\": false, \"nextRun\": null, \"overdue\": false, "
              "\"daysSinceErrorFreeRun\": null}\n"
              "]\n");
    EXPECT_EQ(StatusJson({}), "[]\n");

    TProfile killed = daily(Now - 0.1, 0, Now - 1);
    killed.RunUnfinished = true;
    const std::string line = StatusLines({StatusOf(killed, Now, 3)});
    EXPECT_NE(line.find("\tunterbrochen\t"), std::string::npos) << line;
    EXPECT_NE(StatusJson({StatusOf(killed, Now, 3)}).find("\"runUnfinished\": true, \"failed\": true"),
              std::string::npos);
}

TEST(ProfileStatusTest, JsonStringsAreValidWhateverTheNameHolds)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "\"plain\""},
        {"Größe €", "\"Größe €\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"\n\r\t\b\x01\x1f\x7f", "\"\\n\\r\\t\\u0008\\u0001\\u001f\\u007f\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"\xE2\x80\xA8\xE2\x80\xA9", "\"\\u2028\\u2029\""},
        // Bytes that are not UTF-8: each one U+FFFD, what follows as it is.
        {"Gr\xF6\xDF"
         "e",
         "\"Gr\xEF\xBF\xBD\xEF\xBF\xBD"
         "e\""},
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                 // overlong "/"
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}, // a surrogate
        {"\xF0\x9F\x98", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}, // cut short at the end
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},                 // U+1F600 as it is
    };
    for (const auto& [text, json] : cases)
        EXPECT_EQ(JsonString(text), json) << text;
}

} // namespace
