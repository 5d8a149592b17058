#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

/// The medium a split archive goes to, volume after volume.
struct SpanMedium
{
    /// Bytes free where the volumes go, or nothing when it cannot be told.
    std::function<std::optional<std::int64_t>()> freeSpace;
    /// Asks for medium number (1-based) of total (0: not known); false when the user cancels.
    std::function<bool(int number, int total)> insertNext;
    /// Readies a medium for its volumes (empties it when the profile says so, but for the
    /// folder named keep); a text when it must not be used.
    std::function<std::optional<std::string>(const std::string& keep)> prepare;
    /// A line for the run's report.
    std::function<void(const std::string& line)> note;
    /// Marks the names of the volumes being written: ".name.<tag>-volume(s)".
    std::string workTag = "tresorio-0";
    /// Whether someone can answer insertNext: without, the old volumes are never removed to make
    /// room for a new set that might need another medium.
    bool someoneToAsk = true;
};

struct SpanOutcome
{
    int code = 0;        // 0: written; else a ZIP error code (99: cancelled)
    std::string message; // why not
    int volumes = 0;
};

/// The name of volume number (1-based) of a split archive whose last volume is archivePath:
/// name.z01, name.z02, …
std::string VolumeName(const std::string& archivePath, int number);
/// Whether name is the name of one of the volumes before the last of the archive named
/// archiveName (name.z01, name.z02, …).
bool IsVolumeName(const std::string& name, const std::string& archiveName);

/// Cuts a complete archive into the volumes of a split archive in the PKWARE form: the first
/// volume starts with the spanning signature, no local or central header is cut in two, the
/// central directory names the volume and offset of every local header, the end records the
/// last volume. Each volume holds at most maxVolumeSize bytes, or with 0 what the medium has
/// room for. The last volume gets archivePath, the others name.z01, name.z02, …; a volume is
/// written under a temporary name and renamed when complete. When the first medium has room for
/// the whole new set beside the old one, the set is written in a private folder on it and the
/// old volumes go only once the new set is complete; otherwise the report says so before the
/// old volumes of the same name are removed from each medium.
SpanOutcome WriteVolumes(const std::string& wholeArchive, const std::string& archivePath, std::int64_t maxVolumeSize,
                         SpanMedium& medium, const std::function<bool()>& cancelled);

/// The folder a complete new set of count volumes of the archive named archiveName waits in
/// until it takes the old set's place: ".name.<tag>-commit<count>".
std::string CompleteSetName(const std::string& archiveName, const std::string& workTag, int count);

/// Puts a complete new set of count volumes in place, from the folder setFolder (in folder, where
/// the archive named archiveName lies): old volumes numbered beyond the new set go (only those
/// that are there), the new ones take their places, the last one the archive's own name, and
/// setFolder goes. Cut short at any moment, doing it again finishes it. False, with the reason,
/// when a volume could not be put in place.
bool CommitVolumeSet(const std::string& folder, const std::string& archiveName, const std::string& setFolder, int count,
                     std::string& reason);

/// The volumes of the split archive whose last volume is archivePath, in order (the last one
/// last); only the last when it is not split.
std::vector<std::string> VolumesOf(const std::string& archivePath);

/// Joins the volumes of the split archive whose last volume is archivePath into one archive at
/// joinedPath, as it was before it was split: every offset taken from its volume to the whole.
/// The reason when the volumes are incomplete or not such a set.
std::optional<std::string> JoinVolumes(const std::string& archivePath, const std::string& joinedPath);

/// Volumes smaller than this cannot hold the headers a volume must keep whole.
constexpr std::int64_t MinimumVolumeSize = std::int64_t{64} * 1024;
