// Program entry of Tresorio.

#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/ProfileListing.h"
#include "app/QtSettingsStore.h"
#include "base/ProgramSettings.h"
#include "platform/posix/PosixPlatform.h"
#include "profiles/ProfileFile.h"
#include "scheduler/NextRun.h"

#include <cstdio>
#include <iostream>

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
    if (loadProfiles(file, list, settings, platform.Now()).unreadable) {
        std::cerr << "tresorio: " << unreadableFile(file) << '\n';
        return ExitFailure;
    }
    std::cout << ListProfiles(list);
    return 0;
}

// Start-up as far as it goes without the scheduler: settings, the profile file (a fresh one
// when there was none), the list; then the settings and profiles are written back as at exit.
int runProgram(const std::filesystem::path& dataFolder, Platform& platform)
{
    std::error_code error;
    // A new data folder is the user's alone: the log names every file that was backed up.
    if (std::filesystem::create_directories(dataFolder, error))
        std::filesystem::permissions(dataFolder, std::filesystem::perms::owner_all, error);
    if (error) {
        std::cerr << "tresorio: Ordner " << dataFolder.string() << " kann nicht angelegt werden: " << error.message()
                  << '\n';
        return ExitFailure;
    }
    QtSettingsStore store(dataFolder / SettingsFileName);
    const ProgramSettings settings = ReadProgramSettings(store);

    ProfileFile file(dataFolder / ProfileFileName);
    ProfileList list;
    const ProfileFileLoad load = loadProfiles(file, list, settings, platform.Now());
    if (load.unreadable)
        std::cerr << "tresorio: " << unreadableFile(file) << " Sie wird beim Speichern als " << ProfileFileName
                  << ".bak aufbewahrt.\n";
    if (load.loaded == 0 && (!load.existed || load.firstLineEmpty)) {
        if (const auto failure = file.SaveProfiles(list)) {
            std::cerr << "tresorio: " << *failure << '\n';
            return ExitFailure;
        }
        loadProfiles(file, list, settings, platform.Now());
    }
    std::cout << ListProfiles(list);

    SaveRegistry(settings, store);
    store.sync();
    if (const auto failure = file.SaveProfiles(list)) {
        std::cerr << "tresorio: " << *failure << '\n';
        return ExitFailure;
    }
    return 0;
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
    return line.list ? listProfiles(dataFolder, platform) : runProgram(dataFolder, platform);
}
