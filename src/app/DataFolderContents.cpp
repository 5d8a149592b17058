#include "app/DataFolderContents.h"

#include "app/DataFolder.h"
#include "app/QtSettingsStore.h"
#include "profiles/ProfileFile.h"
#include "scheduler/NextRun.h"

DataFolderContents ReadDataFolder(const std::filesystem::path& dataFolder, DateTime now)
{
    DataFolderContents contents;
    std::error_code error;
    if (std::filesystem::exists(dataFolder / SettingsFileName, error)) {
        QtSettingsStore store(dataFolder / SettingsFileName);
        contents.settings = ReadProgramSettings(store);
    }
    ProfileFile file(dataFolder / ProfileFileName);
    const ProfileFileLoad load =
        file.LoadProfiles(contents.profiles, ProfileDefaultsFrom(contents.settings), NextRunRecalculationAt(now));
    contents.readable = !load.unreadable && load.cannotRead.empty();
    return contents;
}
