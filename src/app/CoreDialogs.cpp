#include "app/CoreDialogs.h"

void CoreDialogs::ShowError(const std::string& text)
{
    m_frontEnd.Notify(Notice::Error, text);
}

void CoreDialogs::ShowWarning(const std::string& text)
{
    m_frontEnd.Notify(Notice::Warning, text);
}

void CoreDialogs::ShowInfo(const std::string& text)
{
    m_frontEnd.Notify(Notice::Info, text);
}

bool CoreDialogs::AskConfirmation(const std::string& text)
{
    return m_frontEnd.AskConfirmation(text);
}

bool CoreDialogs::AskOkCancel(const std::string& text)
{
    return m_frontEnd.AskOkCancel(text);
}
