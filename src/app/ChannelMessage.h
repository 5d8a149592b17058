#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// One message between copies of the program: "Message", the sender's user and computer name,
/// then the command text, every line ended by CR LF.
struct ChannelMessage
{
    std::string user;
    std::string computer;
    std::string text; // the command lines, each ended by CR LF
};

inline constexpr std::size_t MaxChannelMessageBytes = 64 * 1024;

std::string FormatChannelMessage(const std::string& user, const std::string& computer, const std::string& command);
/// Nothing for a message that does not begin with the "Message" line or is too large.
std::optional<ChannelMessage> ParseChannelMessage(std::string_view bytes);

/// What a command asks of the running copy.
struct ChannelCommand
{
    enum class Kind
    {
        None,
        Show,       // come to the front
        RunProfile, // with the profile name
        Stop,
        Pause,
        Continue,
    };
    Kind kind = Kind::None;
    std::string profileName;
};

/// The commands of a message from this computer, in the order they are handled: coming to the
/// front, a run, the stop, the pause, the continue (a message may hold several); messages from
/// another computer are ignored.
std::vector<ChannelCommand> CommandsOf(const ChannelMessage& message, const std::string& ownComputer);

/// The command that asks the running copy to run a profile.
std::string RunProfileCommand(const std::string& profileName);
/// The command a second start sends: the running copy shows its window.
inline constexpr const char* ShowCommand = "TRSROShow";
