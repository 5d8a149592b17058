#include "app/ChannelMessage.h"

#include <gtest/gtest.h>

namespace {

TEST(ChannelMessageTest, WireFormat)
{
    const std::string wire = FormatChannelMessage("anna", "werkbank", "TRSRORunProfileTägliche Sicherung");
    EXPECT_EQ(wire, "Message\r\nanna\r\nwerkbank\r\nTRSRORunProfileTägliche Sicherung\r\n");
    const auto message = ParseChannelMessage(wire);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->user, "anna");
    EXPECT_EQ(message->computer, "werkbank");
    EXPECT_EQ(message->text, "TRSRORunProfileTägliche Sicherung\r\n");

    EXPECT_FALSE(ParseChannelMessage("Nachricht\r\nanna\r\nwerkbank\r\nTRSROStop\r\n"));
    EXPECT_FALSE(ParseChannelMessage("Message\r\nanna\r\n"));
    EXPECT_FALSE(ParseChannelMessage("Message\r\nanna\r\nwerkbank\r\n" + std::string(70'000, 'x')));
}

TEST(ChannelMessageTest, Commands)
{
    using Kind = ChannelCommand::Kind;
    struct Case
    {
        const char* text;
        Kind kind;
        const char* name;
    };
    const Case cases[] = {
        {"TRSRORunProfileDaten\r\n", Kind::RunProfile, "Daten"},
        {"TRSRORunProfile\r\n", Kind::RunProfile, ""},
        {"TRSROStop\r\n", Kind::Stop, ""},
        {"TRSROPause\r\n", Kind::Pause, ""},
        {"TRSROContinue\r\n", Kind::Continue, ""},
        {"Hallo\r\n", Kind::None, ""},
    };
    for (const Case& c : cases) {
        const ChannelCommand command = CommandOf({"anna", "werkbank", c.text}, "werkbank");
        EXPECT_EQ(command.kind, c.kind) << c.text;
        EXPECT_EQ(command.profileName, c.name) << c.text;
    }
    // Another computer's message is ignored.
    EXPECT_EQ(CommandOf({"anna", "anderer", "TRSROStop\r\n"}, "werkbank").kind, Kind::None);
}

} // namespace
