#include "platform/Native.h"

#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixPlatform.h"

std::unique_ptr<Platform> MakeNativePlatform(const std::filesystem::path& dataFolder)
{
    std::error_code error;
    return std::make_unique<PosixPlatform>(std::filesystem::read_symlink("/proc/self/exe", error), dataFolder);
}

std::unique_ptr<FileSystem> MakeNativeFileSystem()
{
    return std::make_unique<PosixFileSystem>();
}
