#pragma once

#include "platform/MountTable.h"
#include "platform/Platform.h"

#include <atomic>
#include <filesystem>
#include <memory>

class QSocketNotifier;

/// The platform on Linux and other POSIX systems with a freedesktop.org desktop.
class PosixPlatform final : public Platform
{
public:
    /// executable and dataFolder make up the command line of the autostart entry.
    PosixPlatform(std::filesystem::path executable, std::filesystem::path dataFolder);
    ~PosixPlatform() override;
    PosixPlatform(const PosixPlatform&) = delete;
    PosixPlatform& operator=(const PosixPlatform&) = delete;

    DateTime Now() override;
    std::string UserName() override;
    std::string ComputerName() override;
    std::string SpecialFolderPath(SpecialFolder folder) override;
    void SetCurrentThreadPriority(int level) override;
    std::int64_t UnixTime() override;
    VolumeInfo VolumeOf(const std::string& path) override;
    std::vector<std::string> MediaMountRoots() override;
    ProgramRun RunProgram(const std::string& commandLine, const std::string& folder, bool wait) override;
    bool StopWaitingForPrograms() override;
    CommandEnd RunCommand(const CommandRequest& request, const std::atomic<bool>& stop) override;
    Status ConnectShare(const std::string& share, const std::string& user, const std::string& password) override;
    void DisconnectShare(const std::string& share) override;
    void PowerOff(bool force) override;
    bool AutostartRegistered() override;
    Status SetAutostart(bool on) override;
    std::string ExecutablePath() override;
    std::unique_ptr<DataFolderLock> LockDataFolder(const std::string& lockFile) override;
    std::string PublishedByLockHolder(const std::string& lockFile) override;
    std::optional<std::string> PrivateRuntimeFolder() override;
    std::unique_ptr<ArchiveAttribute> OpenArchiveState(const std::string& file) override;
    void WhenAskedToEnd(std::function<void(EndRequest)> ask) override;
    void WhenExitedUnexpectedly(std::function<void()> then) override;
    void ContinueAs(const std::vector<std::string>& arguments) override;

    /// The XDG autostart entry: $XDG_CONFIG_HOME/autostart/tresorio.desktop.
    static std::filesystem::path AutostartFile();
    /// The mount that holds path (its mount point ending with "/"), from /proc/self/mountinfo.
    static MountEntry MountOf(const std::string& mountinfo, const std::string& path);

private:
    std::filesystem::path m_executable;
    std::filesystem::path m_dataFolder;
    std::unique_ptr<QSocketNotifier> m_endRequests; // reads what the signal handler wrote
    std::atomic<unsigned> m_waitRound{0};           // a new round lets go of the programs waited for
    std::atomic<int> m_waiting{0};                  // programs waited for now
};
