#pragma once

#include "app/FrontEnd.h"

/// The program without windows: messages go to standard error, every question gets the safe
/// answer (Cancel / No), progress is not shown.
class HeadlessFrontEnd final : public FrontEnd
{
public:
    void ShowError(const Message& text) override;
    void ShowWarning(const Message& text) override;
    void ShowInfo(const Message& text) override;
    bool AskConfirmation(const Message& text) override;
    bool AskOkCancel(const Message& text) override;
    void Notify(Notice kind, const Message& text) override;
    void ProgramEnding() override {}
    /// One line per run on standard error, in the form the journal keeps with its level.
    void TellOutcome(const RunOutcome& outcome) override;

    void UpdateProfileList() override {}
    void ShowActive(bool, const std::string&) override {}
    void ShowNextTask(const NextTaskView&) override {}
    void ShowPaused(bool, const std::string&) override {}
    void ComeToFront() override {}

    void ShowScanStatus(ScanPhase, const std::string&) override {}
    void ResetProgress() override {}
    void SetFilesToDo(std::int64_t) override {}
    void ShowProgress(std::int64_t, std::int64_t) override {}
    bool CheckDest(const std::string&, const std::string&) override { return false; }
    bool NextDisk(int, int, const std::string&) override { return false; }
};
