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
        {"TRSROShow\r\n", Kind::Show, ""},
        {"Hallo\r\n", Kind::None, ""},
    };
    for (const Case& c : cases) {
        const std::vector<ChannelCommand> commands = CommandsOf({"anna", "werkbank", c.text}, "werkbank");
        ASSERT_EQ(commands.size(), c.kind == Kind::None ? 0u : 1u) << c.text;
        if (c.kind != Kind::None) {
            EXPECT_EQ(commands[0].kind, c.kind) << c.text;
            EXPECT_EQ(commands[0].profileName, c.name) << c.text;
        }
    }
    // Several in one message: each, in the order of handling.
    const auto several =
        CommandsOf({"anna", "werkbank", "TRSROContinue\r\nTRSRORunProfileDaten\r\nTRSROPause\r\n"}, "werkbank");
    ASSERT_EQ(several.size(), 3u);
    EXPECT_EQ(several[0].kind, Kind::RunProfile);
    EXPECT_EQ(several[0].profileName, "Daten");
    EXPECT_EQ(several[1].kind, Kind::Pause);
    EXPECT_EQ(several[2].kind, Kind::Continue);
    // Another computer's message is ignored.
    EXPECT_TRUE(CommandsOf({"anna", "anderer", "TRSROStop\r\n"}, "werkbank").empty());
}

} // namespace
