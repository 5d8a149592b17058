#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <vector>

/// path with a "/" at its end.
std::string AddSlash(const std::string& path);
/// The folder part of a path, up to and including its last "/".
std::string FolderOf(const std::string& path);

/// Creates every missing folder of path; 0 or the code of the first folder that could not be made.
FileResult ForceDestination(FileSystem& fs, const std::string& path);
/// Copies source over target, creating the target's folder; a target that blocks the copy is
/// made writable, deleted and the copy tried once more.
FileResult CopyFileRetry(FileSystem& fs, const std::string& source, const std::string& target);
/// Moves source to target in the same way.
FileResult MoveFileRetry(FileSystem& fs, const std::string& source, const std::string& target);
/// Removes every file and every folder not beginning with "." below folder; the folder stays.
/// Failures are ignored.
void EraseFolderContents(FileSystem& fs, const std::string& folder);
