#include "ui/CoreTexts.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

constexpr const char* Context = "CoreTexts";

// Only for the translation tools: the core's texts that the windows show.
[[maybe_unused]] constexpr const char* Listed[] = {
    QT_TRANSLATE_NOOP("CoreTexts", "Vollsicherung"),
    QT_TRANSLATE_NOOP("CoreTexts", "Inkrementell"),
    QT_TRANSLATE_NOOP("CoreTexts", "Dateien löschen"),
    QT_TRANSLATE_NOOP("CoreTexts", "Differenziell"),
    QT_TRANSLATE_NOOP("CoreTexts", "Synchronisieren"),
    QT_TRANSLATE_NOOP("CoreTexts", "Dateien verschieben"),
    QT_TRANSLATE_NOOP("CoreTexts", "in Papierkorb"),
    QT_TRANSLATE_NOOP("CoreTexts", "komprimieren"),
    QT_TRANSLATE_NOOP("CoreTexts", "läuft..."),
    QT_TRANSLATE_NOOP("CoreTexts", "Kein Profil aktiv"),
    QT_TRANSLATE_NOOP("CoreTexts", "Pausiert..."),
    QT_TRANSLATE_NOOP("CoreTexts", "Aktiv"),
    QT_TRANSLATE_NOOP("CoreTexts", "Durchsuche Verzeichnisse..."),
    QT_TRANSLATE_NOOP("CoreTexts", "Durchsuchen: "),
    QT_TRANSLATE_NOOP("CoreTexts", "Verarbeiten: "),
    QT_TRANSLATE_NOOP("CoreTexts", "Kein Profil ausgewählt."),
    QT_TRANSLATE_NOOP("CoreTexts", "Ein anderes Profil ist gerade aktiv. Versuchen Sie es etwas später nochmals."),
    QT_TRANSLATE_NOOP("CoreTexts", "Nachrichten anderer Programme können nicht empfangen werden."),
};

QString translated(const QString& text)
{
    return QCoreApplication::translate(Context, text.toUtf8().constData());
}

} // namespace

QString CoreText(const std::string& text)
{
    const QString whole = QString::fromStdString(text);
    const QString direct = translated(whole);
    if (direct != whole || !whole.contains(QLatin1String(", ")))
        return direct;
    QStringList parts = whole.split(QStringLiteral(", "));
    for (QString& part : parts)
        part = translated(part);
    return parts.join(QStringLiteral(", "));
}
