#include "ui/Help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

QString languageFolder(int language)
{
    return language == 1 ? QStringLiteral("en") : QStringLiteral("de");
}

QStringList manualRoots()
{
    const QString program = QCoreApplication::applicationDirPath();
    QStringList roots = {program + QStringLiteral("/../share/doc/tresorio/manual"),
                         program + QStringLiteral("/../share/tresorio/manual")};
#ifdef TRESORIO_SOURCE_MANUAL
    roots << QStringLiteral(TRESORIO_SOURCE_MANUAL);
#endif
    return roots;
}

} // namespace

std::function<bool(const QString&)>& Help::opener()
{
    static std::function<bool(const QString&)> open = [](const QString& url) {
        return QDesktopServices::openUrl(QUrl(url));
    };
    return open;
}

QString Help::ManualFolder(int language)
{
    for (const QString& root : manualRoots()) {
        const QString folder = QDir(root).absoluteFilePath(languageFolder(language));
        if (QFileInfo::exists(folder + QStringLiteral("/index.html")))
            return QDir::cleanPath(folder);
    }
    return {};
}

bool Help::Open(int language, const QString& page)
{
    const QString folder = ManualFolder(language);
    if (folder.isEmpty())
        return false;
    const QString file = page.section(QLatin1Char('#'), 0, 0);
    const QString anchor = page.section(QLatin1Char('#'), 1);
    QUrl url = QUrl::fromLocalFile(folder + QLatin1Char('/') + file);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return opener()(url.toString());
}

QString Help::FailureText(int language)
{
    const QString folder = ManualFolder(language);
    const QString where = folder.isEmpty() ? QCoreApplication::translate("Help", "Das Handbuch ist nicht installiert.")
                                           : QCoreApplication::translate("Help", "Das Handbuch liegt in %1.")
                                                 .arg(QDir::toNativeSeparators(folder + QStringLiteral("/index.html")));
    // The first sentence is the one users know; the component it went on to name does not exist
    // here, so the second line says where the manual is instead.
    return QCoreApplication::translate("Help", "Kann HTML-Hilfe nicht öffnen!") + QLatin1Char('\n') + where;
}
