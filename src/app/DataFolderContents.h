#pragma once

#include "base/DateTime.h"
#include "base/ProgramSettings.h"
#include "profiles/ProfileList.h"

#include <filesystem>

/// What a command that only reads finds in a data folder: the settings and the profiles as
/// start-up reads them (next runs recalculated for now), without writing, locking or making
/// anything.
struct DataFolderContents
{
    ProgramSettings settings;
    ProfileList profiles;
    bool readable = true; // false: Backup.bpf is damaged or cannot be read
};

DataFolderContents ReadDataFolder(const std::filesystem::path& dataFolder, DateTime now);
