#include "app/DataFolder.h"

#include <cstdlib>

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::filesystem::path ResolveDataFolder(const DataFolderSources& sources)
{
    std::error_code error;
    auto absolute = [&error](const std::filesystem::path& p) { return std::filesystem::absolute(p, error); };
    if (sources.commandLine && !sources.commandLine->empty())
        return absolute(*sources.commandLine);
    if (!sources.tresorioHome.empty())
        return absolute(sources.tresorioHome);
    if (!sources.executableFolder.empty() &&
        std::filesystem::is_regular_file(sources.executableFolder / ProfileFileName, error))
        return absolute(sources.executableFolder);
    // The XDG base directory rules ignore a relative $XDG_DATA_HOME.
    if (!sources.xdgDataHome.empty() && std::filesystem::path(sources.xdgDataHome).is_absolute())
        return std::filesystem::path(sources.xdgDataHome) / "tresorio";
    return absolute(std::filesystem::path(sources.home) / ".local" / "share" / "tresorio");
}

DataFolderSources DataFolderSourcesOfProcess(std::optional<std::string> commandLine)
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return {std::move(commandLine), environment("TRESORIO_HOME"),
            error ? std::filesystem::path() : executable.parent_path(), environment("XDG_DATA_HOME"),
            environment("HOME")};
}
