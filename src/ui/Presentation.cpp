#include "ui/Presentation.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace {

// The two colour schemes: a neutral grey with an orange accent and the blue of the older desktop.
QPalette schemePalette(const QPalette& base, int colour)
{
    QPalette palette = base;
    if (colour == 1) {
        palette.setColor(QPalette::Window, QColor(236, 233, 216));
        palette.setColor(QPalette::Button, QColor(236, 233, 216));
        palette.setColor(QPalette::Highlight, QColor(49, 106, 197));
    } else {
        palette.setColor(QPalette::Window, QColor(246, 246, 244));
        palette.setColor(QPalette::Button, QColor(240, 240, 238));
        palette.setColor(QPalette::Highlight, QColor(52, 101, 164));
    }
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

// The menu layouts: the plain style of the system, and two flat ones whose menus and toolbars are
// drawn with light borders and roomy entries.
QString styleSheetFor(int menuLayout)
{
    if (menuLayout == 0)
        return {};
    const QString hover = menuLayout == 1 ? QStringLiteral("#c1d2ee") : QStringLiteral("#316ac5");
    const QString hoverText = menuLayout == 1 ? QStringLiteral("black") : QStringLiteral("white");
    return QStringLiteral("QMenu { border: 1px solid #8a8a8a; padding: 2px; }"
                          "QMenu::item { padding: 4px 24px 4px 28px; }"
                          "QMenu::item:selected { background: %1; color: %2; }"
                          "QMenu::separator { height: 1px; background: #c5c5c5; margin: 3px 6px; }"
                          "QToolBar { border: none; spacing: 2px; }")
        .arg(hover, hoverText);
}

} // namespace

Presentation::Presentation(QObject* parent) : QObject(parent)
{
    // German until told otherwise: weekday and month names must not follow the system's language
    // while the texts are German.
    QLocale::setDefault(QLocale(QLocale::German));
}

void Presentation::SetLanguage(int index)
{
    index = index == 1 ? 1 : 0;
    // The first call applies even German: Qt's own buttons and dialogs need their German file.
    if (m_applied && index == m_language)
        return;
    m_applied = true;
    m_language = index;
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
        QCoreApplication::removeTranslator(&m_qtTranslator);
        m_installed = false;
    }
    // German is the language of the code; English is a translation. Removing it sends the
    // language change as installing does, and every window translates itself.
    const QLocale locale(index == 1 ? QLocale::English : QLocale::German);
    // Month and weekday names (the calendar) follow the program's language, not the system's.
    QLocale::setDefault(locale);
    if (m_qtTranslator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&m_qtTranslator);
        m_installed = true;
    }
    if (index == 1 && m_translator.load(QStringLiteral(":/i18n/tresorio_en.qm"))) {
        QCoreApplication::installTranslator(&m_translator);
        m_installed = true;
    }
}

void Presentation::SetSkin(int menuLayout, int colour)
{
    menuLayout = menuLayout >= 0 && menuLayout <= 2 ? menuLayout : 1;
    colour = colour == 1 ? 1 : 0;
    if (menuLayout == m_menuLayout && colour == m_colour)
        return;
    m_menuLayout = menuLayout;
    m_colour = colour;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    QStyle* style = QStyleFactory::create(menuLayout == 0 ? QStringLiteral("Windows") : QStringLiteral("Fusion"));
    if (style)
        QApplication::setStyle(style);
    QApplication::setPalette(schemePalette(QApplication::style()->standardPalette(), colour));
    app->setStyleSheet(styleSheetFor(menuLayout));
}
