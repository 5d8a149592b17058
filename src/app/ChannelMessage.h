#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// One message between copies of the program: "Message", the sender's user and computer name,
/// then the command text, every line ended by CR LF. A copy of this program frames its request:
/// after the commands a line names the data folder it means, and a last line asks for an answer,
/// which the receiver writes back on the same connection before it closes it.
struct ChannelMessage
{
    std::string user;
    std::string computer;
    std::string text;                  // the command lines, each ended by CR LF
    std::optional<std::string> folder; // the data folder the sender means, when it named one
    bool wantsAnswer = false;
};

inline constexpr std::size_t MaxChannelMessageBytes = 64 * 1024;

std::string FormatChannelMessage(const std::string& user, const std::string& computer, const std::string& command);
/// A message that names the data folder it is meant for and asks for an answer.
std::string FormatChannelRequest(const std::string& user, const std::string& computer, const std::string& command,
                                 const std::string& dataFolder);
/// Whether bytes hold a whole request: its last line, the one that asks for an answer, is there.
bool IsCompleteRequest(std::string_view bytes);
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
/// another computer are ignored. A profile name runs to the end of its line, and that line is
/// a run request only: a name with a command word in it is never taken for the command.
std::vector<ChannelCommand> CommandsOf(const ChannelMessage& message, const std::string& ownComputer);

/// The command that asks the running copy to run a profile.
std::string RunProfileCommand(const std::string& profileName);
/// The command a second start sends: the running copy shows its window.
inline constexpr const char* ShowCommand = "TRSROShow";

/// What the copy that received a request answered.
enum class ChannelAnswer
{
    Taken,       // it does what was asked (a run request waits for its scheduler's tick)
    NoProfile,   // no profile has the name
    RunningNow,  // only the profile running now has the name: it does not run again
    Unknown,     // no command it knows, or not from this computer
    OtherFolder, // it runs on another data folder and did nothing
    NoAnswer,    // it took the message but did not answer in time
    NoCopy,      // nobody listens
};

/// The line that carries an answer, without its CR LF; and back (Unknown for anything else).
std::string AnswerLine(ChannelAnswer answer);
ChannelAnswer AnswerOfLine(std::string_view line);

/// What a start that sent a request ends with: its exit status and what it says (nothing when
/// all went well). subject is the profile name of a run request, else the command.
struct SenderOutcome
{
    int exitStatus = 0;
    std::string message;
};
SenderOutcome OutcomeOf(ChannelAnswer answer, const std::string& subject, const std::string& dataFolder);
