#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

/// A few threads that run tasks in the order they were handed in. A run uses them to read
/// folders ahead of its walk and to copy several files at once; the results are taken in the
/// run's own order, so what it reports is the same as when it works alone.
class TaskPool final
{
public:
    explicit TaskPool(unsigned threads);
    /// Tasks not yet begun are dropped; running ones are waited for.
    ~TaskPool();
    TaskPool(const TaskPool&) = delete;
    TaskPool& operator=(const TaskPool&) = delete;

    template <typename Task> auto submit(Task task) -> std::future<decltype(task())>
    {
        using Result = decltype(task());
        auto packaged = std::make_shared<std::packaged_task<Result()>>(std::move(task));
        std::future<Result> result = packaged->get_future();
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_tasks.emplace_back([packaged] { (*packaged)(); });
        }
        m_wake.notify_one();
        return result;
    }

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
