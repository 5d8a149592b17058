#include "app/HeadlessFrontEnd.h"

#include <iostream>

void HeadlessFrontEnd::ShowError(const std::string& text)
{
    std::cerr << "tresorio: Fehler: " << text << std::endl;
}

void HeadlessFrontEnd::ShowWarning(const std::string& text)
{
    std::cerr << "tresorio: Warnung: " << text << std::endl;
}

void HeadlessFrontEnd::ShowInfo(const std::string& text)
{
    std::cerr << "tresorio: " << text << std::endl;
}

bool HeadlessFrontEnd::AskConfirmation(const std::string& text)
{
    std::cerr << "tresorio: " << text << " – Nein" << std::endl;
    return false;
}

bool HeadlessFrontEnd::AskOkCancel(const std::string& text)
{
    std::cerr << "tresorio: " << text << " – Abbrechen" << std::endl;
    return false;
}

void HeadlessFrontEnd::Notify(Notice kind, const std::string& text)
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
