#pragma once

#include "engine/BackupJob.h"

#include <chrono>
#include <functional>
#include <future>
#include <memory>

/// Asks question on the main thread (through toMainThread) while the calling worker waits, and
/// returns its answer. The worker always gets one: a question dropped unasked (the program ends,
/// its queue goes) answers onCancel, and so does one that comes after a cancel. A cancel ends the
/// wait even while the question is still open: the end of the program may come from within the
/// question's own event loop, which returns only after that end.
template <typename Answer>
Answer AskOnMainThread(const std::function<void(std::function<void()>)>& toMainThread, RunControl& control,
                       std::function<Answer()> question, Answer onCancel)
{
    class Reply
    {
    public:
        explicit Reply(Answer onCancel) : m_onCancel(onCancel) {}
        Reply(const Reply&) = delete;
        Reply& operator=(const Reply&) = delete;
        ~Reply()
        {
            if (!m_given)
                m_answer.set_value(m_onCancel);
        }
        std::future<Answer> answer() { return m_answer.get_future(); }
        void give(Answer answer)
        {
            m_given = true;
            m_answer.set_value(answer);
        }

    private:
        std::promise<Answer> m_answer;
        Answer m_onCancel;
        bool m_given = false;
    };
    auto reply = std::make_shared<Reply>(onCancel);
    std::future<Answer> answered = reply->answer();
    toMainThread([reply, question = std::move(question), &control, onCancel] {
        reply->give(control.abortRequested ? onCancel : question());
    });
    reply.reset();
    while (answered.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        if (control.abortRequested)
            return onCancel;
    return answered.get();
}
