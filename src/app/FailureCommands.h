#pragma once

#include "app/RunOutcome.h"
#include "platform/Platform.h"

#include <atomic>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

/// The commands on failure under way, each on a thread of its own, so that none holds the
/// program's thread or its end. What a failed one leaves for the log is collected here; noteReady
/// is called (on that thread) when there is some to take.
class FailureCommands final
{
public:
    FailureCommands(Platform& platform, std::function<void()> noteReady);
    /// Kills what still runs and waits for its thread.
    ~FailureCommands();
    FailureCommands(const FailureCommands&) = delete;
    FailureCommands& operator=(const FailureCommands&) = delete;

    /// Starts commandLine for outcome; a line that cannot be split into words leaves a note at once.
    void Start(const std::string& commandLine, const RunOutcome& outcome, const std::string& logPath,
               int timeLimitSeconds);
    /// Whether a command is under way.
    bool Running();
    /// Kills the commands under way and waits for their threads.
    void Finish();
    /// The reports for the log that the commands have left since the last call, oldest first.
    std::vector<std::vector<std::string>> TakeNotes();

private:
    struct Job
    {
        std::thread thread;
        bool done = false;
    };
    void noted(std::vector<std::string> report);

    Platform& m_platform;
    std::function<void()> m_noteReady;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::list<Job> m_jobs;
    std::vector<std::vector<std::string>> m_notes;
};
