#pragma once

#include "platform/FileSystem.h"
#include "restore/BackupCatalogue.h"

#include <string>
#include <vector>

/// Whether the archive name (in lower case, as the backup writes it) is one the profile's
/// Zipfile gives at some moment: each placeholder ("$date", "$weekday" …) stands for any text.
bool MatchesArchivePattern(const std::string& name, const std::string& zipfile);

/// The archives of the profile in destination, oldest first: the one named current (the
/// expanded Zipfile), and where Zipfile holds placeholders every archive named by it.
std::vector<std::string> ArchivesOf(FileSystem& fs, const std::string& destination, const std::string& zipfile,
                                    const std::string& current);

/// Reads the entries of the archive at path (a split one through its volumes, joined in
/// scratchFolder for as long as it is read) into catalogue, as versions stored at the archive's
/// time. Whether it could be read.
Status ReadArchiveBackup(FileSystem& fs, const std::string& path, const std::string& password,
                         const std::string& scratchFolder, BackupCatalogue& catalogue);
