#pragma once

#include <optional>
#include <string>
#include <vector>

/// How long the end of the program waits for a program before or after a run.
inline constexpr int DefaultEndWaitSeconds = 30;
/// How long the command on failure may run before it is killed.
inline constexpr int DefaultCommandLimitSeconds = 60;

/// What the program was asked to do on its command line.
struct CommandLine
{
    bool help = false;
    bool version = false;
    bool list = false;
    bool status = false;     // --status: how every profile stands
    bool json = false;       // --json: --status as JSON
    bool headless = false;   // no windows, even where a display is reachable
    bool endSession = false; // end at once as at the end of the desktop session
    std::optional<std::string> dataDir;
    std::optional<std::string> send;        // a command for the running copy
    std::optional<std::string> profileName; // run this profile and end
    // Restore and listing of what a profile's destination holds, and the check of it.
    std::optional<std::string> restoreProfile;
    std::optional<std::string> listBackupProfile;
    std::optional<std::string> checkProfile;
    std::optional<std::string> at;       // --at: the state at that moment
    std::optional<std::string> to;       // --to: a folder instead of the original places
    std::optional<std::string> conflict; // --conflict: replace, keep or skip
    std::vector<std::string> paths;      // what to restore (with --restore); nothing: everything
    int tickMs = 10000;                  // the scheduler tick; shorter only for tests
    int endWaitSeconds = DefaultEndWaitSeconds;
    int commandLimitSeconds = DefaultCommandLimitSeconds; // shorter only for tests
    std::string error;                                    // not empty when the arguments could not be understood
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

/// The text --help prints.
std::string UsageText();
