#include "restore/Moment.h"

#include <gtest/gtest.h>

namespace {

TEST(MomentTest, AMomentIsReadAsTheUserWritesIt)
{
    struct Case
    {
        const char* text;
        const char* expected; // as the files store a moment; nullptr: not a moment
    };
    const std::vector<Case> cases = {
        {"05.01.2003", "05.01.2003 23:59:59"}, // a day alone: its end
        {"05.01.2003 14:07", "05.01.2003 14:07:59"},
        {"05.01.2003 14:07:33", "05.01.2003 14:07:33"},
        {"2003-01-05", "05.01.2003 23:59:59"},
        {"2003-01-05T14:07", "05.01.2003 14:07:59"},
        {" 2003-01-05 14:07:33 ", "05.01.2003 14:07:33"},
        {"29.02.2024", "29.02.2024 23:59:59"},
        {"29.02.2023", nullptr},
        {"05.01.2003 24:00", nullptr},
        {"5.1.2003", nullptr},
        {"2003-01-05x14:07", nullptr},
        {"gestern", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        const auto moment = ParseMoment(c.text);
        if (c.expected == nullptr)
            EXPECT_FALSE(moment) << c.text;
        else
            EXPECT_EQ(moment ? FormatStampedDateTime(*moment) : "-", c.expected) << c.text;
    }
}

TEST(MomentTest, LocalMomentsAndTimesSince1970MeetAtTheOffset)
{
    const DateTime local = *ParseMoment("01.01.2021 13:00:00");
    // 12:00 UTC is 13:00 an hour east; the moment counts to the end of its millisecond.
    EXPECT_EQ(UnixNsOf(local, 3600) / 1'000'000'000, 1609502400);
    EXPECT_EQ(FormatStampedDateTime(LocalOf(1609502400LL * 1'000'000'000, 3600)), "01.01.2021 13:00:00");
    EXPECT_EQ(FormatStampedDateTime(LocalOf(-86400LL * 1'000'000'000, 0)), "31.12.1969 00:00:00");
}

} // namespace
