#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

/// Writes all of data to fd, at offset when given, else where the file stands; false with
/// errno set when the system refuses.
bool WriteFully(int fd, const char* data, std::size_t length, std::optional<std::uint64_t> offset = std::nullopt);

/// Reads length bytes from fd, fewer only at the end of the file, at offset when given, else
/// where the file stands: the count read, or -1 with errno set.
std::int64_t ReadFully(int fd, char* data, std::size_t length, std::optional<std::uint64_t> offset = std::nullopt);
