#pragma once

#include <QObject>
#include <QTranslator>

/// The program's looks and language: the language index (0 "Deutsch", 1 "Englisch"), the menu
/// layout (0 "Standard", 1 "Office XP", 2 "Windows XP") and the colour index (0 "Office XP",
/// 1 "Windows XP"). Each applies at once to every open window.
class Presentation final : public QObject
{
    Q_OBJECT

public:
    explicit Presentation(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(Presentation)

    /// Switches the language; the open windows translate themselves again.
    void SetLanguage(int index);
    int language() const { return m_language; }
    /// Applies a menu layout and colour scheme.
    void SetSkin(int menuLayout, int colour);
    /// The menu layout now in use (the folder tree's pictures follow it).
    int menuLayout() const { return m_menuLayout; }
    int colour() const { return m_colour; }

private:
    QTranslator m_translator;
    QTranslator m_qtTranslator; // the texts of Qt's own dialogs and buttons
    bool m_installed = false;
    bool m_applied = false; // a language was chosen at least once
    int m_language = 0;
    int m_menuLayout = -1;
    int m_colour = -1;
};
