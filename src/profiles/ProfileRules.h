#pragma once

#include "profiles/TProfile.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The rules every way of making or changing a profile follows (the wizard, the commands of the
// profile list, the engine before a run): which names and paths the profile file keeps as
// typed, which destinations would eat their own sources, and what a duplicate is.

/// Whether the profile file gives a folder path back as it is: valid UTF-8 (other bytes are read
/// back as Windows-1252) without a line break (a value ends at one).
bool StorablePath(const std::string& path);
/// A profile name as the profile file gives it back: line breaks as spaces, without the spaces
/// around it.
std::string StoredProfileName(const std::string& typed);

/// The folder a destination writes into, for comparing it with sources: the text up to its first
/// placeholder ("$date"), cut back to the last "/", lexically normal, ending with "/". Empty when
/// the destination is not an absolute path.
std::string ComparableFolder(const std::string& path);
/// Whether a folder is a path or holds it where they are on the disk (folder, path).
using FolderHoldsOnDisk = std::function<bool(const std::string&, const std::string&)>;
/// The first source that is the destination, lies inside it, or holds it (a backup into its own
/// source copies itself over and over; a source inside the destination is emptied by a cleaning
/// destination). Both are taken as ComparableFolder; "/" as destination is not compared, and a
/// destination with a placeholder counts only when it lies inside a source. With onDisk the
/// folders are also compared where they are, so that a symbolic link or a bind mount does not
/// hide the source.
std::optional<std::string> SourceDestinationClash(const std::vector<std::string>& sources,
                                                  const std::string& destination, const FolderHoldsOnDisk& onDisk = {});

/// The proposed ZIP file name: the profile name with its extension (after the last ".") replaced by
/// ".zip"; a "/" in the name would make a folder and becomes "_".
std::string ZipNameFor(const std::string& profileName);
/// A folder picked for the destination, ending with "/", followed by the placeholders the old
/// destination ended with (from its first "$" on).
std::string PickedDestination(const std::string& folder, const std::string& oldDestination);
/// path ending with "/" (unless empty).
std::string WithSlash(const std::string& path);

/// A copy of a profile for "Profil duplizieren": every setting, sources, last and next run; the
/// statistics start again and no run is requested. The name is the original's with " Kopie",
/// numbered when that name is taken (taken: whether a name is in use).
TProfile DuplicateOf(const TProfile& original, const std::function<bool(const std::string&)>& taken);
