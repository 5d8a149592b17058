#pragma once

#include "platform/FileSystem.h"
#include "platform/MountTable.h"
#include "platform/Platform.h"

#include <filesystem>
#include <memory>

// The platform and file system of the system the program is built for.

/// The platform of the program that runs on dataFolder (its autostart entry names it).
std::unique_ptr<Platform> MakeNativePlatform(const std::filesystem::path& dataFolder);
std::unique_ptr<FileSystem> MakeNativeFileSystem();

/// Whether a window can be shown: a display server answers, or Qt was told which platform to use
/// (QT_QPA_PLATFORM). Asked before any window exists, since Qt ends the process when the display
/// it was pointed at cannot be opened.
bool DisplayCanBeOpened();

/// The places a folder tree starts from on this machine: "/", the home folder and the mounted
/// media and network file systems.
std::vector<BrowseRoot> MountedBrowseRoots(const std::string& labelOfRoot, const std::string& labelOfHome);
