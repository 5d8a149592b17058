#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Saving a log the user edited in the log viewer, while runs may append their reports to the
// same file: what was read is remembered, so a save keeps the reports appended since and never
// silently replaces a log that was trimmed or deleted meanwhile.

/// What was read of the log: its size and a hash of its bytes.
struct LogBaseline
{
    std::uint64_t bytes = 0;
    std::size_t hash = 0;

    static LogBaseline Of(std::string_view content);
};

/// How the log relates now to what was read.
struct LogSince
{
    enum Kind
    {
        Unchanged,
        Grown,   // runs appended their reports: added holds them
        Changed, // trimmed, deleted or replaced: only the user may say whether his text wins
    };
    Kind kind = Unchanged;
    std::string added;
};

/// The whole log as it is now; nothing when there is no file.
std::optional<std::string> ReadWholeLog(const std::filesystem::path& log);
/// Compares the log's content now with what was read.
LogSince CompareLog(const std::string& now, const LogBaseline& read);
/// The user's text with the reports appended since it was read, each report on lines of its own.
std::string WithAppendedReports(std::string edited, const std::string& added);
