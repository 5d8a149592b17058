#include "components/DateTyping.h"

#include <gtest/gtest.h>

namespace {

TEST(DateTypingTest, TypedTextBecomesADateOrIsRefused)
{
    const DateTime today = *TryEncodeDate(2026, 12, 10) + 0.5;
    struct Case
    {
        const char* text;
        ConvertDate convert;
        std::optional<CivilDate> date; // nothing: no date
        bool readable;
    };
    const Case cases[] = {
        {"24122004", ConvertDate::cdNormal, CivilDate{2004, 12, 24}, true},
        {"010304", ConvertDate::cdNormal, CivilDate{2004, 3, 1}, true},
        {"24.12.2004.", ConvertDate::cdNormal, CivilDate{2004, 12, 24}, true},
        {"Fr 24.12.2004", ConvertDate::cdNormal, CivilDate{2004, 12, 24}, true},
        {"1.3.30", ConvertDate::cdNormal, CivilDate{1930, 3, 1}, true},
        {"1.3.29", ConvertDate::cdNormal, CivilDate{2029, 3, 1}, true},
        {"1.3.29", ConvertDate::cdPast, CivilDate{1929, 3, 1}, true},
        {"10.12.2026", ConvertDate::cdPast, CivilDate{2026, 12, 10}, true},
        {"24.12.50", ConvertDate::cdFuture, CivilDate{2050, 12, 24}, true},
        {"24.12.80", ConvertDate::cdFuture, CivilDate{2080, 12, 24}, true},
        {"01.01.2030", ConvertDate::cdFuture, CivilDate{2030, 1, 1}, true},
        {"", ConvertDate::cdNormal, std::nullopt, true},
        {"   ", ConvertDate::cdNormal, std::nullopt, true},
        {"31.02.2004", ConvertDate::cdNormal, std::nullopt, false},
        {"abc", ConvertDate::cdNormal, std::nullopt, false},
        {"12345", ConvertDate::cdNormal, std::nullopt, false},
        {"1.2.345", ConvertDate::cdNormal, std::nullopt, false},
        {"1..2004", ConvertDate::cdNormal, std::nullopt, false},
        {"99999999999999999999", ConvertDate::cdNormal, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + std::to_string(static_cast<int>(c.convert)));
        const TypedDate typed = ReadTypedDate(c.text, c.convert, today);
        EXPECT_EQ(typed.readable, c.readable);
        ASSERT_EQ(typed.date.has_value(), c.date.has_value());
        if (c.date) {
            EXPECT_EQ(*typed.date, *TryEncodeDate(c.date->year, c.date->month, c.date->day));
        }
    }
}

TEST(DateTypingTest, OnlyDigitsAndDotsAreKept)
{
    EXPECT_EQ(KeepDateCharacters("Fr 24.12.2004\n-x"), "24.12.2004");
}

} // namespace
