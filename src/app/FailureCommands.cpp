#include "app/FailureCommands.h"

#include "app/FailureCommand.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

FailureCommands::FailureCommands(Platform& platform, std::function<void()> noteReady)
    : m_platform(platform), m_noteReady(std::move(noteReady))
{
}

FailureCommands::~FailureCommands()
{
    Finish(0);
}

void FailureCommands::Start(const std::string& commandLine, const RunOutcome& outcome, const std::string& logPath,
                            int timeLimitSeconds)
{
    const DateTime started = m_platform.Now();
    std::optional<std::vector<std::string>> words = SplitCommandWords(commandLine);
    if (!words || words->empty()) {
        noted(FailureCommandReport(outcome.profile,
                                   "Hinweis: Befehl bei Fehlern \"" + commandLine +
                                       "\" ist nicht lesbar (ein Anführungszeichen ist nicht geschlossen)",
                                   started));
        return;
    }
    Platform::CommandRequest request = FailureCommandRequest(std::move(*words), outcome, logPath, timeLimitSeconds);
    const std::lock_guard<std::mutex> lock(m_mutex);
    // Threads that have ended are let go of here; the others are waited for at the end.
    for (auto job = m_jobs.begin(); job != m_jobs.end();) {
        if (job->done) {
            job->thread.join();
            job = m_jobs.erase(job);
        } else {
            ++job;
        }
    }
    Job& job = m_jobs.emplace_back();
    job.thread = std::thread(
        [this, &job, request = std::move(request), commandLine, profile = outcome.profile, started, timeLimitSeconds] {
            const Platform::CommandEnd end = m_platform.RunCommand(request, m_stop);
            if (const std::optional<std::string> note = FailureCommandNote(commandLine, end, timeLimitSeconds))
                noted(FailureCommandReport(profile, *note, started));
            const std::lock_guard<std::mutex> done(m_mutex);
            job.done = true;
            m_changed.notify_all();
        });
}

void FailureCommands::Finish(int waitSeconds)
{
    std::list<Job> jobs;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto allDone = [this] {
            return std::all_of(m_jobs.begin(), m_jobs.end(), [](const Job& job) { return job.done; });
        };
        if (!m_changed.wait_for(lock, std::chrono::seconds(waitSeconds), allDone))
            m_stop = true;
        jobs.splice(jobs.end(), m_jobs);
    }
    for (Job& job : jobs)
        job.thread.join();
    m_stop = false;
}

std::vector<std::vector<std::string>> FailureCommands::TakeNotes()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_notes, {});
}

void FailureCommands::noted(std::vector<std::string> report)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_notes.push_back(std::move(report));
    }
    if (m_noteReady)
        m_noteReady();
}
