#include "app/DataFolder.h"

#include <cstdlib>

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::filesystem::path resolve(const DataFolderSources& sources)
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

} // namespace

std::filesystem::path ResolveDataFolder(const DataFolderSources& sources)
{
    // One name for one folder: "DIR", "DIR/" and a link to it are the same data folder, with the
    // same lock and the same channel.
    const std::filesystem::path found = resolve(sources);
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(found, error);
    std::string text = (error ? found : canonical).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

DataFolderSources DataFolderSourcesOfProcess(std::optional<std::string> commandLine)
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return {std::move(commandLine), environment("TRESORIO_HOME"),
            error ? std::filesystem::path() : executable.parent_path(), environment("XDG_DATA_HOME"),
            environment("HOME")};
}
