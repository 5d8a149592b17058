#pragma once

#include "base/DateTime.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

/// Writes a file (creating its folders) and, when given, sets its modification time.
void MakeFile(const std::filesystem::path& file, std::string_view content, std::int64_t unixSeconds = 0);
/// Sets a file's modification time (seconds since 1970).
void SetModified(const std::filesystem::path& file, std::int64_t unixSeconds);
std::int64_t ModifiedOf(const std::filesystem::path& file);
/// Every file and folder below root as relative paths ("a/", "a/b.txt"), sorted.
std::vector<std::string> TreeOf(const std::filesystem::path& root);
/// Bytes that do not shrink when deflated, the same for the same seed.
std::string Noise(std::size_t length, unsigned seed = 1);
