#include "app/ChannelMessage.h"

#include "base/Text.h"

namespace {

constexpr std::string_view RunProfile = "TRSRORunProfile";

} // namespace

std::string FormatChannelMessage(const std::string& user, const std::string& computer, const std::string& command)
{
    std::string message = "Message\r\n" + user + "\r\n" + computer + "\r\n";
    for (const std::string& line : SplitLines(command))
        message += line + "\r\n";
    return message;
}

std::optional<ChannelMessage> ParseChannelMessage(std::string_view bytes)
{
    if (bytes.size() > MaxChannelMessageBytes)
        return std::nullopt;
    const std::vector<std::string> lines = SplitLines(DecodeStoredText(bytes));
    if (lines.size() < 3 || lines[0] != "Message")
        return std::nullopt;
    ChannelMessage message{lines[1], lines[2], {}};
    for (std::size_t i = 3; i < lines.size(); ++i)
        message.text += lines[i] + "\r\n";
    return message;
}

std::vector<ChannelCommand> CommandsOf(const ChannelMessage& message, const std::string& ownComputer)
{
    std::vector<ChannelCommand> commands;
    if (message.computer != ownComputer)
        return commands;
    const std::string& text = message.text;
    if (text.find(ShowCommand) != std::string::npos)
        commands.push_back({ChannelCommand::Kind::Show, {}});
    if (const std::size_t at = text.find(RunProfile); at != std::string::npos) {
        // The name runs from behind the command to the end of its line.
        const std::size_t start = at + RunProfile.size();
        const std::size_t end = text.find_first_of("\r\n", start);
        commands.push_back({ChannelCommand::Kind::RunProfile, text.substr(start, end - start)});
    }
    if (text.find("TRSROStop") != std::string::npos)
        commands.push_back({ChannelCommand::Kind::Stop, {}});
    if (text.find("TRSROPause") != std::string::npos)
        commands.push_back({ChannelCommand::Kind::Pause, {}});
    if (text.find("TRSROContinue") != std::string::npos)
        commands.push_back({ChannelCommand::Kind::Continue, {}});
    return commands;
}

std::string RunProfileCommand(const std::string& profileName)
{
    return std::string(RunProfile) + profileName;
}
