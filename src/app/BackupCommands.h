#pragma once

#include "app/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"

#include <filesystem>

/// --restore, --list-backup and --check of the command line, without windows: the exit status
/// (0 when everything asked for came back, was listed or is sound; 1 when not; 2 for a profile
/// or moment that does not exist).
int RunBackupCommand(const CommandLine& line, const std::filesystem::path& dataFolder, Platform& platform,
                     FileSystem& fs);
