#pragma once

#include "app/FrontEnd.h"

/// The message boxes of the program's core (the run controller, start-up, saving): its messages
/// are notices that wait for nobody, its questions (a medium to insert) are the front end's.
class CoreDialogs final : public Dialogs
{
public:
    explicit CoreDialogs(FrontEnd& frontEnd) : m_frontEnd(frontEnd) {}

    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void ShowInfo(const std::string& text) override;
    bool AskConfirmation(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;

private:
    FrontEnd& m_frontEnd;
};
