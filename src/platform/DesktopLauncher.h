#pragma once

#include "base/Status.h"

#include <filesystem>
#include <optional>
#include <string>

// A link on the desktop that runs one profile with a double click: a desktop entry file (the
// freedesktop Desktop Entry Specification) whose Exec key starts Tresorio with the profile's name.
// A profile name may hold anything a user can type, so every value is quoted and escaped such
// that the program receives exactly the name, whatever the desktop's launcher does with
// quotes, "$", "%" field codes and backslashes.

/// One argument of a desktop entry's Exec key as it is written into the file: in double quotes
/// with '"', '`', '$' and '\' escaped by a backslash, then escaped as a string value of the file
/// ('\' doubled once more, newline, CR and tab as "\n", "\r", "\t"), every '%' doubled.
std::string DesktopExecArgument(const std::string& argument);

/// Why no desktop entry can start program with "--data-dir dataFolder" exactly (not UTF-8,
/// control characters a value cannot carry, a program path with '=' or '%'); nothing when one can.
std::optional<std::string> DesktopEntryRefusal(const std::string& program, const std::string& dataFolder);
/// The Exec value that starts program with "--data-dir dataFolder" (left out when it is empty).
std::string DesktopExecLine(const std::string& program, const std::string& dataFolder);

/// The whole text of a launcher file that starts program with "--data-dir dataFolder" (left out
/// when dataFolder is empty) and profileName as arguments. The texts are expected to be valid
/// UTF-8 without control characters other than newline, CR and tab, and program to hold neither
/// '=' nor '%': WriteDesktopLauncher refuses anything else.
std::string DesktopLauncherText(const std::string& program, const std::string& dataFolder,
                                const std::string& profileName);

/// The file name of a profile's launcher: the name with '/' and control characters replaced by
/// '_', no leading '.', at most 255 bytes with the ending ".desktop", "Tresorio.desktop" for an
/// empty name. It may begin with '-': pass it on as part of a path, never on its own.
std::string DesktopLauncherFileName(const std::string& profileName);

/// The outcome of WriteDesktopLauncher: the file written, or the reason in German.
struct DesktopLauncherResult
{
    Status status;
    std::filesystem::path file;
};

/// Writes the launcher of profileName into folder, executable (0755), replacing an earlier
/// launcher of the same file name, and marks it trusted for desktops that ask for that (with
/// "gio set … metadata::trusted true" where gio is installed; its failure does not matter).
/// Refuses names and paths that a launcher cannot hand over exactly, and a file of that name that
/// is not a Tresorio launcher. Waits for gio, which may take a moment when the session bus is slow.
DesktopLauncherResult WriteDesktopLauncher(const std::filesystem::path& folder, const std::string& program,
                                           const std::string& dataFolder, const std::string& profileName);

/// The launcher in folder that WriteDesktopLauncher made for these values, as it made it; nothing
/// when there is none. A launcher the user changed, or one for another program or data folder,
/// is never found, so never moved or removed.
std::optional<std::filesystem::path> FindDesktopLauncher(const std::filesystem::path& folder,
                                                         const std::string& program, const std::string& dataFolder,
                                                         const std::string& profileName);
/// Removes a launcher FindDesktopLauncher found; the reason in German when that failed.
Status RemoveDesktopLauncher(const std::filesystem::path& launcher);
