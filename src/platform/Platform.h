#pragma once

#include "base/DateTime.h"
#include "platform/ArchiveAttribute.h"
#include "platform/DataFolderLock.h"
#include "platform/FileSystem.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/// Folders the placeholders and the desktop link name.
enum class SpecialFolder
{
    Programs, // the user's application menu entries
    Personal, // the user's documents folder
    Desktop,
    Windows,   // the system's configuration folder
    System,    // the system's library folder
    Home,      // the user's home folder
    Temporary, // the system's folder for temporary files
};

/// The file system that holds a path.
struct VolumeInfo
{
    std::string mountPoint; // where it is mounted, ending with "/"
    std::string label;      // its label; empty when it has none or it cannot be read
    // What tells this file system from any other mounted at the same place, from one mount to the
    // next: "UUID=…" where it has one, else its device number and mount source.
    std::string identity;
};

/// The operating system as the program sees it. The core never asks the system directly; it is
/// handed a Platform, so that tests can run every rule with a fake one.
class Platform
{
public:
    virtual ~Platform() = default;

    /// The current local wall-clock time.
    virtual DateTime Now() = 0;
    /// The current moment as seconds since 1970 (UTC): a moment that no change of the clocks
    /// makes ambiguous, as the run by date compares them.
    virtual std::int64_t UnixTime() = 0;
    /// The login name of the user the program runs as; empty when it cannot be found.
    virtual std::string UserName() = 0;
    /// The computer's name (the host name up to its first dot); empty when it cannot be found.
    virtual std::string ComputerName() = 0;
    /// The folder's path without a trailing separator; empty when it cannot be found.
    virtual std::string SpecialFolderPath(SpecialFolder folder) = 0;

    /// Sets the priority of the calling thread: -2 lowest … 2 highest (the higher levels only
    /// where the system permits them).
    virtual void SetCurrentThreadPriority(int level) = 0;

    /// The mount point and label of the file system that holds path.
    virtual VolumeInfo VolumeOf(const std::string& path) = 0;
    /// The folders below which removable media appear when they are mounted (each ending with
    /// "/"): a folder there that lies on the same file system as the folder itself is an empty
    /// mount point, not the medium.
    virtual std::vector<std::string> MediaMountRoots() = 0;
    /// What became of a program started for a run.
    struct ProgramRun
    {
        bool started = false;
        int exitStatus = 0;        // when waited for: its exit status (-1 when it did not end normally)
        bool stillRunning = false; // waited for, but left running (StopWaitingForPrograms)
    };
    /// Starts a command line with the shell in folder; with wait, returns when it has ended.
    virtual ProgramRun RunProgram(const std::string& commandLine, const std::string& folder, bool wait) = 0;
    /// A program started without a shell, for the user to hear of a failure.
    struct CommandRequest
    {
        std::vector<std::string> words;                               // the program (found on PATH) and its arguments
        std::vector<std::pair<std::string, std::string>> environment; // set on top of the program's own
        std::string input;                                            // its standard input
        int timeLimitSeconds = 60;
    };
    /// What became of such a program.
    struct CommandEnd
    {
        enum class Kind
        {
            Ended,      // it ended by itself: exitStatus, or signal
            NotStarted, // why: error
            TimedOut,   // it ran past its time limit and was killed
            Stopped,    // stop was set: it was killed
        };
        Kind kind = Kind::Ended;
        int exitStatus = 0;
        int signal = 0; // the signal that ended it, 0 when it exited
        std::string error;
    };
    /// Runs a command in a process group of its own and waits for it; past its time limit, or
    /// once stop is set, the whole group is killed. Standard output and error are the program's.
    virtual CommandEnd RunCommand(const CommandRequest& request, const std::atomic<bool>& stop) = 0;
    /// The programs waited for now are left running: their RunProgram returns at once. Programs
    /// started later are waited for again. Whether one was waited for.
    virtual bool StopWaitingForPrograms() = 0;
    /// Logs on to a network share with a user and password.
    virtual Status ConnectShare(const std::string& share, const std::string& user, const std::string& password) = 0;
    virtual void DisconnectShare(const std::string& share) = 0;
    /// Asks the system to switch the computer off; force: without asking the running programs.
    virtual void PowerOff(bool force) = 0;

    /// Whether the program starts with the user's desktop session.
    virtual bool AutostartRegistered() = 0;
    /// Registers (on) or removes (off) the start with the desktop session; why not, when that
    /// failed.
    virtual Status SetAutostart(bool on) = 0;

    // What the running program needs besides the runs.

    /// The program file that runs.
    virtual std::string ExecutablePath() = 0;
    /// Takes the lock of a data folder on the file lockFile (made when missing).
    virtual std::unique_ptr<DataFolderLock> LockDataFolder(const std::string& lockFile) = 0;
    /// What the holder of lockFile published in it; empty when nothing.
    virtual std::string PublishedByLockHolder(const std::string& lockFile) = 0;
    /// A folder of this user's alone (made when missing) for the channel's socket; nothing when no
    /// safe one can be had.
    virtual std::optional<std::string> PrivateRuntimeFolder() = 0;
    /// The catalogue of archive states in file.
    virtual std::unique_ptr<ArchiveAttribute> OpenArchiveState(const std::string& file) = 0;
    /// How the system asks the program to end.
    enum class EndRequest
    {
        Interrupt, // SIGTERM, SIGINT: a person or a service manager
        Hangup,    // SIGHUP: the terminal or the session went away
    };
    /// From now on calls ask each time the system asks the program to end, on the thread of the
    /// event loop, which must exist.
    virtual void WhenAskedToEnd(std::function<void(EndRequest)> ask) = 0;
    /// From now on, when the process is ended by exit() without the program having ended (a
    /// library gives up, as the X11 toolkit does when its display goes away), then runs first;
    /// nothing stops that.
    virtual void WhenExitedUnexpectedly(std::function<void()> then) = 0;
    /// Replaces this process by the program file that runs, started with arguments; returns only
    /// when that failed.
    virtual void ContinueAs(const std::vector<std::string>& arguments) = 0;
};

/// Query (without a value) or set and then query the autostart registration; a failure to set it
/// is told to failed.
bool AutostartEntry(Platform& platform);
bool AutostartEntry(Platform& platform, bool on, const std::function<void(const std::string&)>& failed = {});
