#pragma once

#include "platform/Platform.h"
#include "restore/BackupCatalogue.h"
#include "restore/DestinationLayout.h"

#include <string>
#include <vector>

class RemoteFiles;

/// What a profile's destination holds, read for a restore, a listing or a check.
struct BackupContents
{
    explicit BackupContents(DestinationLayout destinationLayout) : layout(std::move(destinationLayout)) {}

    DestinationLayout layout;
    BackupCatalogue catalogue;
    bool wholeSets = false;            // every archive is a whole backup of its own (a full backup's)
    std::vector<std::string> archives; // the archives read, oldest first
    std::vector<std::string> problems; // what could not be read, for the report's error lines
    std::string where;                 // the destination as the report names it
};

/// Reads what the destination of profile holds: a folder with its generations and notes, the
/// archive or (with placeholders in its name) every archive of the profile, or the server's tree
/// (through server, for an FTP profile). now is the moment that expands the placeholders of the
/// destination and the sources.
BackupContents ReadBackupContents(const TProfile& profile, Platform& platform, FileSystem& fs, RemoteFiles* server,
                                  DateTime now, int language);
