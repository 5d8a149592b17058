#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

/// Replaces the file at path with content so that the file is at every moment either the old
/// one or the complete new one: the content goes to a temporary file in the same folder, is
/// flushed to the disk and renamed over the old file. On failure the old file is untouched and
/// the result is the system's reason; on success nothing.
/// ownerOnly creates the file readable and writable by its owner alone.
std::optional<std::string> WriteFileAtomically(const std::filesystem::path& path, std::string_view content,
                                               bool ownerOnly);
