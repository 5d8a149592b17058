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
    QT_TRANSLATE_NOOP("CoreTexts",
                      "Eine Wiederherstellung läuft gerade. Die Sicherung kann erst nach ihrem Ende beginnen."),
    QT_TRANSLATE_NOOP("CoreTexts",
                      "Eine Sicherung läuft gerade. Die Wiederherstellung kann erst nach ihrem Ende beginnen."),
    QT_TRANSLATE_NOOP("CoreTexts", "Nachrichten anderer Programme können nicht empfangen werden."),
    // Messages with values (names, paths, numbers): formats, filled in after translation.
    QT_TRANSLATE_NOOP("CoreTexts", "Bitte Diskette mit dem Namen %1 in Laufwerk %2 legen"),
    QT_TRANSLATE_NOOP("CoreTexts", "Bitte Diskette Nr. %1 von %2 in Laufwerk %3:\\ einlegen"),
    QT_TRANSLATE_NOOP("CoreTexts", "Bitte Diskette Nr. %1 in Laufwerk %2:\\ einlegen"),
    QT_TRANSLATE_NOOP("CoreTexts",
                      "%1 ist keine lesbare Profildatei. Sie wird beim Speichern als Backup.bpf.bak aufbewahrt."),
    QT_TRANSLATE_NOOP("CoreTexts",
                      "%1 kann nicht gelesen werden (%2). Sie bleibt, wie sie ist, und wird nicht überschrieben."),
    QT_TRANSLATE_NOOP("CoreTexts", "Das Ende der Sitzung kann nicht aufgehalten werden (%1). Profile, die beim "
                                   "Beenden laufen, haben nur so viel Zeit, wie das System Tresorio beim "
                                   "Herunterfahren lässt."),
    QT_TRANSLATE_NOOP("CoreTexts", "Ein Programm vor oder nach der Sicherung läuft nach %1 s noch; Tresorio endet, "
                                   "ohne länger darauf zu warten."),
    QT_TRANSLATE_NOOP("CoreTexts", "Protokoll %1 kann nicht geschrieben werden."),
    QT_TRANSLATE_NOOP("CoreTexts", "Datei %1 kann nicht erstellt werden: %2"),
    QT_TRANSLATE_NOOP("CoreTexts", "Datei %1 wird nicht überschrieben: sie konnte beim Start nicht gelesen werden"),
};

QString translated(const QString& text)
{
    return QCoreApplication::translate(Context, text.toUtf8().constData());
}

} // namespace

QString CoreMessage(const Message& message)
{
    if (message.values.empty())
        return CoreText(message.format);
    return QString::fromStdString(
        Message::FillPlaces(translated(QString::fromStdString(message.format)).toStdString(), message.values));
}

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
