#pragma once

#include "app/FrontEnd.h"

/// The message boxes of the program's core (the run controller, start-up, saving): its messages
/// are notices that wait for nobody, its questions (a medium to insert) are the front end's.
class CoreDialogs final : public Dialogs
{
public:
    explicit CoreDialogs(FrontEnd& frontEnd) : m_frontEnd(frontEnd) {}

    void ShowError(const Message& text) override;
    void ShowWarning(const Message& text) override;
    void ShowInfo(const Message& text) override;
    bool AskConfirmation(const Message& text) override;
    bool AskOkCancel(const Message& text) override;

private:
    FrontEnd& m_frontEnd;
};
