#pragma once

#include "app/Dialogs.h"
#include "app/FrontEnd.h"

#include <QMessageBox>
#include <deque>
#include <functional>

class QWidget;

/// The program's message boxes as QMessageBox, with the captions "Fehler", "Warnung",
/// "Information" and "Bestätigung". Tests queue the next answers; a queued answer is taken
/// instead of showing the box, and the text is remembered. Once the program ends no box waits:
/// messages go to standard error, questions get the safe answer.
class MessageBoxes final : public Dialogs
{
public:
    void ShowError(const Message& text) override;
    void ShowWarning(const Message& text) override;
    void ShowInfo(const Message& text) override;
    bool AskConfirmation(const Message& text) override;
    bool AskOkCancel(const Message& text) override;
    /// The warning box with OK and Cancel; true on OK.
    bool AskWarning(const Message& text);
    /// A message box that waits for nobody: the caller goes on at once, the box stays until it
    /// is closed.
    void Notify(Notice kind, const Message& text);
    /// Such a box with a second button (actionLabel) that calls action and closes the box; the
    /// box, or nothing where none is shown (answered from the queue, the program ending).
    QMessageBox* NotifyWithAction(Notice kind, const QString& text, const QString& actionLabel,
                                  std::function<void()> action);
    /// From now on no box is shown; the boxes and dialogs open now are closed.
    void SetEnding();

    /// The window the boxes belong to (none: the boxes stand alone).
    void setParent(QWidget* parent) { m_parent = parent; }

    /// The next box is answered with button instead of being shown (tests).
    static void setNextAnswer(QMessageBox::StandardButton button);
    /// Forgets the answers not taken.
    static void clearAnswers();
    /// The texts of the boxes answered from the queue, oldest first.
    static std::deque<std::string>& answeredTexts();

private:
    QMessageBox::StandardButton show(QMessageBox::Icon icon, const QString& caption, const Message& text,
                                     QMessageBox::StandardButtons buttons, QMessageBox::StandardButton safe);

    QWidget* m_parent = nullptr;
    bool m_ending = false;
};
