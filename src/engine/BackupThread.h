#pragma once

#include "engine/BackupRun.h"

#include <functional>
#include <memory>
#include <thread>

/// A run on a worker thread of its own. The completion is called on the worker thread once the
/// report is complete; whoever started the run moves it to the main thread.
class BackupThread final
{
public:
    using Completion = std::function<void(RunResult)>;

    BackupThread(std::unique_ptr<BackupRun> run, Completion completion);
    /// Waits for the run to end.
    ~BackupThread();
    BackupThread(const BackupThread&) = delete;
    BackupThread& operator=(const BackupThread&) = delete;

    void join();

private:
    std::unique_ptr<BackupRun> m_run;
    std::thread m_thread;
};
