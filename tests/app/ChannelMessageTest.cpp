#include "app/ChannelMessage.h"

#include <gtest/gtest.h>

namespace {

ChannelMessage from(const std::string& computer, const std::string& text)
{
    return {"anna", computer, text, std::nullopt, false};
}

TEST(ChannelMessageTest, WireFormat)
{
    const std::string wire = FormatChannelMessage("anna", "werkbank", "TRSRORunProfileTägliche Sicherung");
    EXPECT_EQ(wire, "Message\r\nanna\r\nwerkbank\r\nTRSRORunProfileTägliche Sicherung\r\n");
    const auto message = ParseChannelMessage(wire);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->user, "anna");
    EXPECT_EQ(message->computer, "werkbank");
    EXPECT_EQ(message->text, "TRSRORunProfileTägliche Sicherung\r\n");
    EXPECT_FALSE(message->folder);
    EXPECT_FALSE(message->wantsAnswer);
    EXPECT_FALSE(IsCompleteRequest(wire)); // whole only when the sender closes

    EXPECT_FALSE(ParseChannelMessage("Nachricht\r\nanna\r\nwerkbank\r\nTRSROStop\r\n"));
    EXPECT_FALSE(ParseChannelMessage("Message\r\nanna\r\n"));
    EXPECT_FALSE(ParseChannelMessage("Message\r\nanna\r\nwerkbank\r\n" + std::string(70'000, 'x')));
}

TEST(ChannelMessageTest, ARequestNamesItsFolderWhateverItsBytes)
{
    for (const std::string folder :
         {"/home/anna/daten", "/home/anna/Sicherung\r\nTRSROStop %41", "/tmp/\xE9t\xE9", "/srv/a b/TRSROEnd"}) {
        const std::string wire = FormatChannelRequest("anna", "werkbank", "TRSROPause", folder);
        EXPECT_TRUE(IsCompleteRequest(wire)) << folder;
        EXPECT_FALSE(IsCompleteRequest(wire.substr(0, wire.size() - 1))) << folder;
        const auto message = ParseChannelMessage(wire);
        ASSERT_TRUE(message) << folder;
        EXPECT_EQ(message->folder, folder);
        EXPECT_TRUE(message->wantsAnswer);
        EXPECT_EQ(message->text, "TRSROPause\r\n") << folder;
        EXPECT_EQ(CommandsOf(*message, "werkbank").size(), 1u) << folder;
    }
    // A folder line that cannot be read back names no folder at all.
    const auto damaged = ParseChannelMessage("Message\r\nanna\r\nwerkbank\r\nTRSROStop\r\nTRSROFolder /a%4\r\n");
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->folder, "");
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
        {"bitte TRSROPause jetzt\r\n", Kind::Pause, ""},
        {"Hallo\r\n", Kind::None, ""},
        // A name is a name, whatever command words it holds.
        {"TRSRORunProfileTRSROStop\r\n", Kind::RunProfile, "TRSROStop"},
        {"TRSRORunProfileNachts TRSROPause TRSROShow\r\n", Kind::RunProfile, "Nachts TRSROPause TRSROShow"},
        {"TRSRORunProfileTRSRORunProfile\r\n", Kind::RunProfile, "TRSRORunProfile"},
    };
    for (const Case& c : cases) {
        const std::vector<ChannelCommand> commands = CommandsOf(from("werkbank", c.text), "werkbank");
        ASSERT_EQ(commands.size(), c.kind == Kind::None ? 0u : 1u) << c.text;
        if (c.kind != Kind::None) {
            EXPECT_EQ(commands[0].kind, c.kind) << c.text;
            EXPECT_EQ(commands[0].profileName, c.name) << c.text;
        }
    }
    // Several in one message: each, in the order of handling.
    const auto several =
        CommandsOf(from("werkbank", "TRSROContinue\r\nTRSRORunProfileDaten\r\nTRSROPause\r\n"), "werkbank");
    ASSERT_EQ(several.size(), 3u);
    EXPECT_EQ(several[0].kind, Kind::RunProfile);
    EXPECT_EQ(several[0].profileName, "Daten");
    EXPECT_EQ(several[1].kind, Kind::Pause);
    EXPECT_EQ(several[2].kind, Kind::Continue);
    // Another computer's message is ignored.
    EXPECT_TRUE(CommandsOf(from("anderer", "TRSROStop\r\n"), "werkbank").empty());
}

TEST(ChannelMessageTest, AnswersAndWhatTheSenderMakesOfThem)
{
    for (const ChannelAnswer answer : {ChannelAnswer::Taken, ChannelAnswer::NoProfile, ChannelAnswer::RunningNow,
                                       ChannelAnswer::Unknown, ChannelAnswer::OtherFolder})
        EXPECT_EQ(AnswerOfLine(AnswerLine(answer)), answer);
    EXPECT_EQ(AnswerOfLine("Quatsch"), ChannelAnswer::Unknown);
    const struct
    {
        ChannelAnswer answer;
        int status;
        const char* says;
    } outcomes[] = {
        {ChannelAnswer::Taken, 0, ""},
        {ChannelAnswer::NoProfile, 2, "Kein Profil mit dem Namen \"Nachts\"."},
        {ChannelAnswer::RunningNow, 1, "\"Nachts\" läuft gerade"},
        {ChannelAnswer::NoAnswer, 1, "nicht geantwortet"},
        {ChannelAnswer::NoCopy, 1, "Für /d läuft kein Tresorio."},
        {ChannelAnswer::OtherFolder, 1, "Für /d läuft kein Tresorio."},
    };
    for (const auto& o : outcomes) {
        const SenderOutcome outcome = OutcomeOf(o.answer, "Nachts", "/d");
        EXPECT_EQ(outcome.exitStatus, o.status) << o.says;
        EXPECT_NE(outcome.message.find(o.says), std::string::npos) << outcome.message;
        EXPECT_EQ(outcome.message.empty(), std::string(o.says).empty());
    }
}

} // namespace
