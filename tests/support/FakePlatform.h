#pragma once

#include "platform/Platform.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

/// A platform with fixed answers that tests set as they need.
class FakePlatform final : public Platform
{
public:
    DateTime now = 0.0;
    DateTime step = 0.0; // how far the clock moves at each reading
    std::string userName = "anna";
    std::string computerName = "werkbank";
    std::map<SpecialFolder, std::string> folders = {{SpecialFolder::Programs, "/home/anna/.local/share/applications"},
                                                    {SpecialFolder::Personal, "/home/anna/Dokumente"},
                                                    {SpecialFolder::Desktop, "/home/anna/Schreibtisch"},
                                                    {SpecialFolder::Windows, "/etc"},
                                                    {SpecialFolder::System, "/usr/lib"},
                                                    {SpecialFolder::Home, "/home/anna"}};
    int threadPriority = 99; // not set
    bool autostart = false;

    DateTime Now() override
    {
        const DateTime reading = now;
        now += step;
        return reading;
    }
    std::int64_t unixTime = 1'000'000'000;
    std::int64_t UnixTime() override { return unixTime; }
    std::string UserName() override { return userName; }
    std::string ComputerName() override { return computerName; }
    std::string SpecialFolderPath(SpecialFolder folder) override { return folders[folder]; }
    void SetCurrentThreadPriority(int level) override { threadPriority = level; }

    VolumeInfo volume{"/", "", ""};
    std::vector<std::string> programs; // "folder|command|wait" of every program started
    bool programsStart = true;
    Status shareResult{50, "nicht unterstützt"};
    std::vector<std::string> shares; // "+share" connected, "-share" disconnected
    std::vector<bool> powerOffs;     // never the real thing: only recorded

    VolumeInfo VolumeOf(const std::string&) override { return volume; }
    std::vector<std::string> mediaRoots; // none: no folder counts as a mount point
    std::vector<std::string> MediaMountRoots() override { return mediaRoots; }
    int programStatus = 0; // what a program waited for ends with
    ProgramRun RunProgram(const std::string& commandLine, const std::string& folder, bool wait) override
    {
        std::unique_lock<std::mutex> lock(m_programMutex);
        programs.push_back(folder + "|" + commandLine + "|" + (wait ? "wait" : "nowait"));
        if (wait && m_holdPrograms) {
            // Held there, the test could never release it: it ends at once, and is counted.
            if (std::this_thread::get_id() == m_testThread) {
                ++m_waitedOnTestThread;
            } else {
                ++m_held;
                m_programsChanged.notify_all();
                m_programsChanged.wait(lock, [this] { return !m_holdPrograms; });
                --m_held;
            }
        }
        return {programsStart, wait ? programStatus : 0};
    }
    std::vector<CommandRequest> commands; // every command on failure run
    CommandEnd RunCommand(const CommandRequest& request, const std::atomic<bool>&) override
    {
        const std::lock_guard<std::mutex> lock(m_programMutex);
        commands.push_back(request);
        return {};
    }
    int stoppedWaiting = 0; // how often the program let go of the programs it waited for
    bool StopWaitingForPrograms() override
    {
        ++stoppedWaiting;
        return false;
    }
    /// From now on, a program waited for runs until ReleasePrograms: as long as the test likes.
    void HoldPrograms()
    {
        const std::lock_guard<std::mutex> lock(m_programMutex);
        m_holdPrograms = true;
    }
    /// The held programs end (with programStatus), and later ones end at once again.
    void ReleasePrograms()
    {
        const std::lock_guard<std::mutex> lock(m_programMutex);
        m_holdPrograms = false;
        m_programsChanged.notify_all();
    }
    /// Blocks until a program waited for is being held.
    void WaitUntilProgramHeld()
    {
        std::unique_lock<std::mutex> lock(m_programMutex);
        m_programsChanged.wait(lock, [this] { return m_held > 0; });
    }
    /// How many programs were waited for, while held, on the thread that made the fake.
    int ProgramsWaitedForOnTestThread()
    {
        const std::lock_guard<std::mutex> lock(m_programMutex);
        return m_waitedOnTestThread;
    }
    Status ConnectShare(const std::string& share, const std::string&, const std::string&) override
    {
        shares.push_back("+" + share);
        return shareResult;
    }
    void DisconnectShare(const std::string& share) override { shares.push_back("-" + share); }
    void PowerOff(bool force) override { powerOffs.push_back(force); }
    bool AutostartRegistered() override { return autostart; }
    Status SetAutostart(bool on) override
    {
        autostart = on;
        return {};
    }

    // The running program's services: a lock always held, no runtime folder, no requests to end;
    // tests hand the run controller an archive-state catalogue of their own.
    std::string executable = "/usr/bin/tresorio";
    std::string ExecutablePath() override { return executable; }
    std::unique_ptr<DataFolderLock> LockDataFolder(const std::string&) override
    {
        class HeldLock final : public DataFolderLock
        {
        public:
            bool held() const override { return true; }
            bool heldElsewhere() const override { return false; }
            const std::string& error() const override { return m_error; }
            void Publish(const std::string&) override {}

        private:
            std::string m_error;
        };
        return std::make_unique<HeldLock>();
    }
    std::string PublishedByLockHolder(const std::string&) override { return {}; }
    std::optional<std::string> runtimeFolder;
    std::optional<std::string> PrivateRuntimeFolder() override { return runtimeFolder; }
    std::unique_ptr<ArchiveAttribute> OpenArchiveState(const std::string&) override { return nullptr; }
    std::function<void(EndRequest)> askToEnd;
    void WhenAskedToEnd(std::function<void(EndRequest)> ask) override { askToEnd = std::move(ask); }
    std::function<void()> unexpectedExit;
    void WhenExitedUnexpectedly(std::function<void()> then) override { unexpectedExit = std::move(then); }
    std::vector<std::string> continuedAs;
    void ContinueAs(const std::vector<std::string>& arguments) override { continuedAs = arguments; }

private:
    std::mutex m_programMutex; // programs may run on a thread of their own
    std::condition_variable m_programsChanged;
    bool m_holdPrograms = false;
    int m_held = 0;
    int m_waitedOnTestThread = 0;
    std::thread::id m_testThread = std::this_thread::get_id();
};
