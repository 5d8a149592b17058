#include "ui/MessageBoxes.h"

#include "ui/CoreTexts.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <iostream>
#include <optional>

namespace {

QString captionOf(Notice kind)
{
    switch (kind) {
    case Notice::Error:
        return QCoreApplication::translate("MessageBoxes", "Fehler");
    case Notice::Warning:
        return QCoreApplication::translate("MessageBoxes", "Warnung");
    case Notice::Info:
        break;
    }
    return QCoreApplication::translate("MessageBoxes", "Information");
}

QMessageBox::Icon iconOf(Notice kind)
{
    switch (kind) {
    case Notice::Error:
        return QMessageBox::Critical;
    case Notice::Warning:
        return QMessageBox::Warning;
    case Notice::Info:
        break;
    }
    return QMessageBox::Information;
}

// Without windows to show it in, a message still reaches the session's journal.
void toStandardError(const QString& caption, const std::string& text)
{
    std::cerr << "tresorio: " << caption.toStdString() << ": " << text << std::endl;
}

std::deque<QMessageBox::StandardButton>& nextAnswers()
{
    static std::deque<QMessageBox::StandardButton> answers;
    return answers;
}

} // namespace

void MessageBoxes::setNextAnswer(QMessageBox::StandardButton button)
{
    nextAnswers().push_back(button);
}

void MessageBoxes::clearAnswers()
{
    nextAnswers().clear();
}

std::deque<std::string>& MessageBoxes::answeredTexts()
{
    static std::deque<std::string> texts;
    return texts;
}

namespace {

// Tests answer boxes from a queue: the next answer, and the text it answered, when one waits.
std::optional<QMessageBox::StandardButton> queuedAnswer(const std::string& text)
{
    if (nextAnswers().empty())
        return std::nullopt;
    const QMessageBox::StandardButton answer = nextAnswers().front();
    nextAnswers().pop_front();
    MessageBoxes::answeredTexts().push_back(text);
    return answer;
}

} // namespace

QMessageBox::StandardButton MessageBoxes::show(QMessageBox::Icon icon, const QString& caption, const Message& text,
                                               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton safe)
{
    if (const auto answer = queuedAnswer(text.German()))
        return *answer;
    if (m_ending) {
        toStandardError(caption, text.German());
        return safe;
    }
    QMessageBox box(icon, caption, CoreMessage(text), buttons, m_parent);
    // Messages carry file names, server answers and the maker's version page: text that looks like
    // markup is shown as it is, never rendered.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(safe);
    box.setEscapeButton(safe);
    const int answer = box.exec();
    return static_cast<QMessageBox::StandardButton>(answer);
}

void MessageBoxes::ShowError(const Message& text)
{
    show(iconOf(Notice::Error), captionOf(Notice::Error), text, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBoxes::ShowWarning(const Message& text)
{
    show(iconOf(Notice::Warning), captionOf(Notice::Warning), text, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBoxes::ShowInfo(const Message& text)
{
    show(iconOf(Notice::Info), captionOf(Notice::Info), text, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBoxes::Notify(Notice kind, const Message& text)
{
    NotifyWithAction(kind, CoreMessage(text), {}, nullptr);
}

QMessageBox* MessageBoxes::NotifyWithAction(Notice kind, const QString& text, const QString& actionLabel,
                                            std::function<void()> action)
{
    if (queuedAnswer(text.toStdString()))
        return nullptr;
    if (m_ending) {
        toStandardError(captionOf(kind), text.toStdString());
        return nullptr;
    }
    // Over a dialog that waits for the user, the box belongs to that dialog: a box beside it
    // could not be clicked until the dialog is closed.
    QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : m_parent;
    auto* box = new QMessageBox(iconOf(kind), captionOf(kind), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::NonModal);
    if (!actionLabel.isEmpty()) {
        QPushButton* button = box->addButton(actionLabel, QMessageBox::ActionRole);
        button->setObjectName(QStringLiteral("actionButton"));
        QObject::connect(button, &QPushButton::clicked, box, [action = std::move(action)] {
            if (action)
                action();
        });
    }
    box->show();
    return box;
}

void MessageBoxes::SetEnding()
{
    m_ending = true;
    // A dialog or box waiting for an answer holds its caller's work; rejected, each one's
    // caller goes on as after Cancel.
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->reject();
}

bool MessageBoxes::AskConfirmation(const Message& text)
{
    return show(QMessageBox::Question, QCoreApplication::translate("MessageBoxes", "Bestätigung"), text,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool MessageBoxes::AskWarning(const Message& text)
{
    return show(QMessageBox::Warning, QCoreApplication::translate("MessageBoxes", "Warnung"), text,
                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

bool MessageBoxes::AskOkCancel(const Message& text)
{
    return show(QMessageBox::Question, QCoreApplication::translate("MessageBoxes", "Bestätigung"), text,
                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}
