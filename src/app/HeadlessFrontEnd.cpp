#include "app/HeadlessFrontEnd.h"

#include <iostream>

void HeadlessFrontEnd::ShowError(const Message& text)
{
    std::cerr << "tresorio: Fehler: " << text.German() << std::endl;
}

void HeadlessFrontEnd::ShowWarning(const Message& text)
{
    std::cerr << "tresorio: Warnung: " << text.German() << std::endl;
}

void HeadlessFrontEnd::ShowInfo(const Message& text)
{
    std::cerr << "tresorio: " << text.German() << std::endl;
}

bool HeadlessFrontEnd::AskConfirmation(const Message& text)
{
    std::cerr << "tresorio: " << text.German() << " – Nein" << std::endl;
    return false;
}

bool HeadlessFrontEnd::AskOkCancel(const Message& text)
{
    std::cerr << "tresorio: " << text.German() << " – Abbrechen" << std::endl;
    return false;
}

void HeadlessFrontEnd::Notify(Notice kind, const Message& text)
{
    switch (kind) {
    case Notice::Error:
        ShowError(text);
        break;
    case Notice::Warning:
        ShowWarning(text);
        break;
    case Notice::Info:
        ShowInfo(text);
        break;
    }
}

void HeadlessFrontEnd::TellOutcome(const RunOutcome& outcome)
{
    std::cerr << JournalLine(outcome) << std::endl;
}
