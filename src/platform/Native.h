#pragma once

#include "platform/FileSystem.h"
#include "platform/Platform.h"

#include <filesystem>
#include <memory>

// The platform and file system of the system the program is built for.

/// The platform of the program that runs on dataFolder (its autostart entry names it).
std::unique_ptr<Platform> MakeNativePlatform(const std::filesystem::path& dataFolder);
std::unique_ptr<FileSystem> MakeNativeFileSystem();
