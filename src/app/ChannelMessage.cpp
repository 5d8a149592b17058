#include "app/ChannelMessage.h"

#include "base/Text.h"

#include <array>
#include <utility>

namespace {

constexpr std::string_view RunProfile = "TRSRORunProfile";
// The lines that frame a request; both stand alone on their line.
constexpr std::string_view FolderLine = "TRSROFolder ";
constexpr std::string_view AnswerWanted = "TRSROEnd";

constexpr std::array<std::pair<ChannelAnswer, std::string_view>, 5> AnswerLines = {{
    {ChannelAnswer::Taken, "TRSROTaken"},
    {ChannelAnswer::NoProfile, "TRSRONoProfile"},
    {ChannelAnswer::RunningNow, "TRSRORunningNow"},
    {ChannelAnswer::Unknown, "TRSROUnknown"},
    {ChannelAnswer::OtherFolder, "TRSROOtherFolder"},
}};

// A folder's path may hold any byte, a line break too: all but the plainest go as %XX.
std::string encodeFolder(std::string_view path)
{
    static const char* const Hex = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '/' ||
                           b == '.' || b == '_' || b == '-';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += Hex[b >> 4];
            out += Hex[b & 0xF];
        }
    }
    return out;
}

std::optional<std::string> decodeFolder(std::string_view text)
{
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = digit(text[i + 1]);
        const int low = digit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

} // namespace

std::string FormatChannelMessage(const std::string& user, const std::string& computer, const std::string& command)
{
    std::string message = "Message\r\n" + user + "\r\n" + computer + "\r\n";
    for (const std::string& line : SplitLines(command))
        message += line + "\r\n";
    return message;
}

std::string FormatChannelRequest(const std::string& user, const std::string& computer, const std::string& command,
                                 const std::string& dataFolder)
{
    return FormatChannelMessage(user, computer, command) + std::string(FolderLine) + encodeFolder(dataFolder) + "\r\n" +
           std::string(AnswerWanted) + "\r\n";
}

bool IsCompleteRequest(std::string_view bytes)
{
    const std::string end = "\r\n" + std::string(AnswerWanted) + "\r\n";
    return bytes.size() >= end.size() && bytes.substr(bytes.size() - end.size()) == end;
}

std::optional<ChannelMessage> ParseChannelMessage(std::string_view bytes)
{
    if (bytes.size() > MaxChannelMessageBytes)
        return std::nullopt;
    const std::vector<std::string> lines = SplitLines(DecodeStoredText(bytes));
    if (lines.size() < 3 || lines[0] != "Message")
        return std::nullopt;
    ChannelMessage message{lines[1], lines[2], {}, std::nullopt, false};
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line == AnswerWanted) {
            message.wantsAnswer = true;
        } else if (line.rfind(FolderLine, 0) == 0) {
            message.folder = decodeFolder(std::string_view(line).substr(FolderLine.size()));
            // A folder that cannot be read back is no folder of this program's: it matches none.
            if (!message.folder)
                message.folder = std::string();
        } else {
            message.text += line + "\r\n";
        }
    }
    return message;
}

std::vector<ChannelCommand> CommandsOf(const ChannelMessage& message, const std::string& ownComputer)
{
    std::vector<ChannelCommand> commands;
    if (message.computer != ownComputer)
        return commands;
    // A line with the run command carries a name to its end, whatever words the name holds;
    // the other lines are searched for the other commands.
    std::vector<ChannelCommand> runs;
    std::string others;
    for (const std::string& line : SplitLines(message.text)) {
        if (const std::size_t at = line.find(RunProfile); at != std::string::npos)
            runs.push_back({ChannelCommand::Kind::RunProfile, line.substr(at + RunProfile.size())});
        else
            others += line + "\n";
    }
    if (others.find(ShowCommand) != std::string::npos)
        commands.push_back({ChannelCommand::Kind::Show, {}});
    commands.insert(commands.end(), runs.begin(), runs.end());
    if (others.find("TRSROStop") != std::string::npos)
        commands.push_back({ChannelCommand::Kind::Stop, {}});
    if (others.find("TRSROPause") != std::string::npos)
        commands.push_back({ChannelCommand::Kind::Pause, {}});
    if (others.find("TRSROContinue") != std::string::npos)
        commands.push_back({ChannelCommand::Kind::Continue, {}});
    return commands;
}

std::string RunProfileCommand(const std::string& profileName)
{
    return std::string(RunProfile) + profileName;
}

std::string AnswerLine(ChannelAnswer answer)
{
    for (const auto& [kind, line] : AnswerLines)
        if (kind == answer)
            return std::string(line);
    return std::string(AnswerLines[3].second);
}

ChannelAnswer AnswerOfLine(std::string_view line)
{
    for (const auto& [kind, text] : AnswerLines)
        if (text == line)
            return kind;
    return ChannelAnswer::Unknown;
}

SenderOutcome OutcomeOf(ChannelAnswer answer, const std::string& subject, const std::string& dataFolder)
{
    switch (answer) {
    case ChannelAnswer::Taken:
        return {0, {}};
    case ChannelAnswer::NoProfile:
        return {2, "Kein Profil mit dem Namen \"" + subject + "\"."};
    case ChannelAnswer::RunningNow:
        return {1, "\"" + subject + "\" läuft gerade in der laufenden Kopie und wird nicht noch einmal gestartet."};
    case ChannelAnswer::Unknown:
        return {2, "Die laufende Kopie kennt den Befehl \"" + subject + "\" nicht."};
    case ChannelAnswer::NoAnswer:
        return {1, "Die laufende Kopie hat nicht geantwortet; \"" + subject + "\" ist nicht sicher angekommen."};
    case ChannelAnswer::OtherFolder:
    case ChannelAnswer::NoCopy:
        break;
    }
    return {1, "Für " + dataFolder + " läuft kein Tresorio."};
}
