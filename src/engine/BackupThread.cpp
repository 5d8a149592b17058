#include "engine/BackupThread.h"

BackupThread::BackupThread(std::unique_ptr<BackupRun> run, Completion completion) : m_run(std::move(run))
{
    m_thread = std::thread([this, completion = std::move(completion)] { completion(m_run->Run()); });
}

BackupThread::~BackupThread()
{
    join();
}

void BackupThread::join()
{
    if (m_thread.joinable())
        m_thread.join();
}
