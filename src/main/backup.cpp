// Program entry of Tresorio.

#include "app/BackupCommands.h"
#include "app/Channel.h"
#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/DataFolderContents.h"
#include "app/HeadlessFrontEnd.h"
#include "app/ProfileListing.h"
#include "app/Program.h"
#include "app/QtSettingsStore.h"
#include "app/StatusCommand.h"
#include "base/ProgramSettings.h"
#include "platform/Native.h"
#include "profiles/ProfileFile.h"
#include "scheduler/NextRun.h"

#include <QCoreApplication>
#include <iostream>

#ifdef TRESORIO_WITH_WINDOWS
#include "ui/WindowsProgram.h"
#endif

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitFailure = 1;

int listProfiles(const std::filesystem::path& dataFolder, Platform& platform)
{
    std::error_code error;
    if (!std::filesystem::is_directory(dataFolder, error))
        return 0;
    const DataFolderContents contents = ReadDataFolder(dataFolder, platform.Now());
    if (!contents.readable) {
        std::cerr << "tresorio: " << (dataFolder / ProfileFileName).string() << " ist keine lesbare Profildatei.\n";
        return ExitFailure;
    }
    std::cout << ListProfiles(contents.profiles);
    return 0;
}

int runProgram(int argc, char** argv, const CommandLine& line, const std::filesystem::path& dataFolder,
               Platform& platform)
{
#ifdef TRESORIO_WITH_WINDOWS
    if (!line.headless && !line.endSession) {
        if (DisplayCanBeOpened())
            return RunWithWindows(argc, argv, {dataFolder, line.profileName, line.tickMs, line.endWaitSeconds},
                                  platform);
        std::cerr << "tresorio: Keine Anzeige erreichbar; Tresorio läuft ohne Fenster.\n";
    }
#endif
    QCoreApplication app(argc, argv);
    const std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
    HeadlessFrontEnd frontEnd;
    Program program(
        {dataFolder, line.profileName, line.tickMs, line.endWaitSeconds, line.endSession, line.commandLimitSeconds},
        platform, *fs, frontEnd);
    program.HearEndRequests();
    if (const auto status = program.Start())
        return *status;
    return QCoreApplication::exec();
}

int sendCommand(const std::filesystem::path& dataFolder, const std::string& command, Platform& platform)
{
    const ChannelAnswer answer = Channel::Send(platform, dataFolder, command);
    const std::string run = RunProfileCommand("");
    const std::string subject = command.rfind(run, 0) == 0 ? command.substr(run.size()) : command;
    const SenderOutcome outcome = OutcomeOf(answer, subject, dataFolder.string());
    if (!outcome.message.empty())
        std::cerr << "tresorio: " << outcome.message << '\n';
    return outcome.exitStatus;
}

} // namespace

int main(int argc, char** argv)
{
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!line.error.empty()) {
        std::cerr << "tresorio: " << line.error << "\n\n" << UsageText();
        return ExitUsage;
    }
    if (line.help) {
        std::cout << UsageText();
        return 0;
    }
    if (line.version) {
        std::cout << "Tresorio " << TRESORIO_VERSION << '\n';
        return 0;
    }
    const std::filesystem::path dataFolder = ResolveDataFolder(DataFolderSourcesOfProcess(line.dataDir));
    const std::unique_ptr<Platform> platform = MakeNativePlatform(dataFolder);
    if (line.list)
        return listProfiles(dataFolder, *platform);
    if (line.status)
        return RunStatusCommand(dataFolder, line.json, *platform);
    if (line.send)
        return sendCommand(dataFolder, *line.send, *platform);
    if (line.restoreProfile || line.listBackupProfile || line.checkProfile)
        return RunBackupCommand(line, dataFolder, *platform, *MakeNativeFileSystem());
    return runProgram(argc, argv, line, dataFolder, *platform);
}
