// Program entry of Tresorio.

#include "app/Channel.h"
#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/ProfileListing.h"
#include "app/Program.h"
#include "app/QtSettingsStore.h"
#include "base/ProgramSettings.h"
#include "platform/posix/PosixPlatform.h"
#include "profiles/ProfileFile.h"
#include "scheduler/NextRun.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitFailure = 1;

std::string unreadableFile(const ProfileFile& file)
{
    return file.path().string() + " ist keine lesbare Profildatei.";
}

// Reads the profiles as start-up does; writes nothing.
ProfileFileLoad loadProfiles(ProfileFile& file, ProfileList& list, const ProgramSettings& settings, DateTime now)
{
    return file.LoadProfiles(list, ProfileDefaultsFrom(settings), NextRunRecalculationAt(now));
}

int listProfiles(const std::filesystem::path& dataFolder, Platform& platform)
{
    std::error_code error;
    if (!std::filesystem::is_directory(dataFolder, error))
        return 0;
    ProgramSettings settings;
    if (std::filesystem::exists(dataFolder / SettingsFileName, error)) {
        QtSettingsStore store(dataFolder / SettingsFileName);
        settings = ReadProgramSettings(store);
    }
    ProfileFile file(dataFolder / ProfileFileName);
    ProfileList list;
    const ProfileFileLoad load = loadProfiles(file, list, settings, platform.Now());
    if (load.unreadable || !load.cannotRead.empty()) {
        std::cerr << "tresorio: " << unreadableFile(file) << '\n';
        return ExitFailure;
    }
    std::cout << ListProfiles(list);
    return 0;
}

// SIGTERM, SIGINT and SIGHUP (the end of the session) end the program through the event loop:
// the handler only writes a byte that the loop reads.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto ignored = ::write(signalPipe[1], &byte, 1);
}

int runProgram(int argc, char** argv, const CommandLine& line, const std::filesystem::path& dataFolder,
               PosixPlatform& platform)
{
    QCoreApplication app(argc, argv);
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return ExitFailure;
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);

    Program program({dataFolder, line.profileName, line.tickMs}, platform);
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &program, [&program] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) > 0) {
        }
        program.Stop(false);
    });
    if (const auto status = program.Start())
        return *status;
    return QCoreApplication::exec();
}

int sendCommand(const std::filesystem::path& dataFolder, const std::string& command, PosixPlatform& platform)
{
    if (Channel::Send(dataFolder, platform.UserName(), platform.ComputerName(), command))
        return 0;
    std::cerr << "tresorio: Für " << dataFolder.string() << " läuft kein Tresorio.\n";
    return ExitFailure;
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
    std::error_code error;
    PosixPlatform platform(std::filesystem::read_symlink("/proc/self/exe", error), dataFolder);
    if (line.list)
        return listProfiles(dataFolder, platform);
    if (line.send)
        return sendCommand(dataFolder, *line.send, platform);
    return runProgram(argc, argv, line, dataFolder, platform);
}
