#include "app/CoreDialogs.h"

void CoreDialogs::ShowError(const Message& text)
{
    m_frontEnd.Notify(Notice::Error, text);
}

void CoreDialogs::ShowWarning(const Message& text)
{
    m_frontEnd.Notify(Notice::Warning, text);
}

void CoreDialogs::ShowInfo(const Message& text)
{
    m_frontEnd.Notify(Notice::Info, text);
}

bool CoreDialogs::AskConfirmation(const Message& text)
{
    return m_frontEnd.AskConfirmation(text);
}

bool CoreDialogs::AskOkCancel(const Message& text)
{
    return m_frontEnd.AskOkCancel(text);
}
