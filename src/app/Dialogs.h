#pragma once

#include "base/Message.h"

#include <string>

/// The program's message boxes. The windows, the headless front end (messages on standard
/// error, the safe answer to every question) and the tests (scripted answers) provide them.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    /// A message with the caption "Fehler".
    virtual void ShowError(const Message& text) = 0;
    /// A message with the caption "Warnung".
    virtual void ShowWarning(const Message& text) = 0;
    /// A message with the caption "Information".
    virtual void ShowInfo(const Message& text) = 0;
    /// A question with the caption "Bestätigung" and the buttons Yes and No; true for Yes.
    virtual bool AskConfirmation(const Message& text) = 0;
    /// A question with the buttons OK and Cancel; true for OK.
    virtual bool AskOkCancel(const Message& text) = 0;
};
