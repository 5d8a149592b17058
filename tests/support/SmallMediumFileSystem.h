#pragma once

#include "platform/posix/PosixFileSystem.h"

#include <filesystem>
#include <functional>
#include <optional>

/// The real file system, on which a folder can stand for a small removable medium: its free
/// space is the capacity less the bytes of the files in it.
class SmallMediumFileSystem : public PosixFileSystem
{
public:
    std::optional<std::filesystem::path> medium;
    std::int64_t mediumCapacity = 0;
    std::function<void()> onFreeSpace; // lets a test act when a volume is about to begin

    std::optional<std::int64_t> FreeSpace(const std::string& path) override
    {
        if (onFreeSpace)
            onFreeSpace();
        if (!medium)
            return PosixFileSystem::FreeSpace(path);
        std::int64_t used = 0;
        for (const auto& e : std::filesystem::recursive_directory_iterator(*medium))
            if (e.is_regular_file())
                used += static_cast<std::int64_t>(e.file_size());
        return mediumCapacity - used;
    }
};
