#pragma once

#include "engine/KeptMetadata.h"
#include "platform/FileSystem.h"
#include "restore/BackupCatalogue.h"

#include <string>

/// Whether name is one of the names a run or a restore gives its own files while it works
/// (".name.tresorio-<12 hex digits>-…", ".tresorio-<12 hex digits>-…"): never a file of the backup.
bool IsWorkName(const std::string& name);

/// The entry of .tresorio-metadaten, read as the version it describes.
StoredVersion NotedVersion(const KeptMetadata::Entry& noted);

/// Adds the notes of a .tresorio-metadaten file's content to the current versions of catalogue.
void AddNotes(const std::string& content, BackupCatalogue& catalogue);

/// Reads what a folder destination holds into catalogue: the current copies, with generations
/// (more than 1) the older versions in Generation.1 … Generation.N, and the notes of
/// .tresorio-metadaten for what the medium could not keep. Whether the destination could be read.
Status ReadFolderBackup(FileSystem& fs, const std::string& destination, int generations, BackupCatalogue& catalogue);
