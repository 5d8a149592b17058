#include "app/FailureCommands.h"

#include "app/FailureCommand.h"

#include <algorithm>
#include <optional>
#include <utility>

FailureCommands::FailureCommands(Platform& platform, std::function<void()> noteReady)
    : m_platform(platform), m_noteReady(std::move(noteReady))
{
}

FailureCommands::~FailureCommands()
{
    Finish();
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
        });
}

bool FailureCommands::Running()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return std::any_of(m_jobs.begin(), m_jobs.end(), [](const Job& job) { return !job.done; });
}

void FailureCommands::Finish()
{
    std::list<Job> jobs;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        jobs.splice(jobs.end(), m_jobs);
    }
    m_stop = true;
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
