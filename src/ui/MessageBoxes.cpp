#include "ui/MessageBoxes.h"

#include "ui/CoreTexts.h"

#include <QCoreApplication>

namespace {

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

QMessageBox::StandardButton MessageBoxes::show(QMessageBox::Icon icon, const QString& caption, const std::string& text,
                                               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton safe)
{
    if (!nextAnswers().empty()) {
        const QMessageBox::StandardButton answer = nextAnswers().front();
        nextAnswers().pop_front();
        answeredTexts().push_back(text);
        return answer;
    }
    QMessageBox box(icon, caption, CoreText(text), buttons, m_parent);
    // Messages carry file names, server answers and the maker's version page: text that looks like
    // markup is shown as it is, never rendered.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(safe);
    box.setEscapeButton(safe);
    const int answer = box.exec();
    return static_cast<QMessageBox::StandardButton>(answer);
}

void MessageBoxes::ShowError(const std::string& text)
{
    show(QMessageBox::Critical, QCoreApplication::translate("MessageBoxes", "Fehler"), text, QMessageBox::Ok,
         QMessageBox::Ok);
}

void MessageBoxes::ShowWarning(const std::string& text)
{
    show(QMessageBox::Warning, QCoreApplication::translate("MessageBoxes", "Warnung"), text, QMessageBox::Ok,
         QMessageBox::Ok);
}

void MessageBoxes::ShowInfo(const std::string& text)
{
    show(QMessageBox::Information, QCoreApplication::translate("MessageBoxes", "Information"), text, QMessageBox::Ok,
         QMessageBox::Ok);
}

bool MessageBoxes::AskConfirmation(const std::string& text)
{
    return show(QMessageBox::Question, QCoreApplication::translate("MessageBoxes", "Bestätigung"), text,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool MessageBoxes::AskWarning(const std::string& text)
{
    return show(QMessageBox::Warning, QCoreApplication::translate("MessageBoxes", "Warnung"), text,
                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

bool MessageBoxes::AskOkCancel(const std::string& text)
{
    return show(QMessageBox::Question, QCoreApplication::translate("MessageBoxes", "Bestätigung"), text,
                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}
