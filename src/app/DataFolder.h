#pragma once

#include <filesystem>
#include <optional>
#include <string>

/// Where the program's files can come from, in the order they are tried.
struct DataFolderSources
{
    std::optional<std::string> commandLine; // --data-dir DIR
    std::string tresorioHome;               // $TRESORIO_HOME
    std::filesystem::path executableFolder; // portable use: the folder holds Backup.bpf
    std::string xdgDataHome;                // $XDG_DATA_HOME
    std::string home;                       // $HOME
};

/// The folder that holds Backup.bpf, Backup.log and settings.ini, as an absolute path.
std::filesystem::path ResolveDataFolder(const DataFolderSources& sources);

/// The sources of this process: its environment and the folder of its executable.
DataFolderSources DataFolderSourcesOfProcess(std::optional<std::string> commandLine);

inline constexpr const char* ProfileFileName = "Backup.bpf";
inline constexpr const char* SettingsFileName = "settings.ini";
