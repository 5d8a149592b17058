#pragma once

#include "engine/RunObserver.h"

#include <functional>
#include <vector>

/// An observer that remembers what a run showed and answers CheckDest as told.
class RecordingObserver final : public RunObserver
{
public:
    std::vector<std::pair<ScanPhase, std::string>> statuses;
    std::int64_t filesToDo = -1;
    std::int64_t filesDone = 0;
    std::int64_t bytesDone = 0;
    int progressCalls = 0;
    std::vector<bool> checkDestAnswers; // one per question; "no" when they run out
    std::vector<std::string> checkDestQuestions;
    std::function<void()> onProgress;           // lets a test act in the middle of a run
    std::vector<std::string> diskQuestions;     // "number/total drive"
    std::function<bool(int number)> onNextDisk; // no answer given: cancel

    void ShowScanStatus(ScanPhase phase, const std::string& folder) override { statuses.emplace_back(phase, folder); }
    void ResetProgress() override
    {
        filesDone = 0;
        bytesDone = 0;
    }
    void SetFilesToDo(std::int64_t n) override { filesToDo = n; }
    void ShowProgress(std::int64_t done, std::int64_t bytes) override
    {
        filesDone = done;
        bytesDone = bytes;
        ++progressCalls;
        if (onProgress)
            onProgress();
    }
    bool CheckDest(const std::string& destination, const std::string& expectedName) override
    {
        checkDestQuestions.push_back(destination + "|" + expectedName);
        if (checkDestAnswers.empty())
            return false;
        const bool answer = checkDestAnswers.front();
        checkDestAnswers.erase(checkDestAnswers.begin());
        return answer;
    }
    bool NextDisk(int number, int total, const std::string& drive) override
    {
        diskQuestions.push_back(std::to_string(number) + "/" + std::to_string(total) + " " + drive);
        return onNextDisk && onNextDisk(number);
    }
};
