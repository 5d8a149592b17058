#include "ui/OutcomeNotices.h"

#include "ui/CoreTexts.h"

#include <QCoreApplication>

OutcomeNotice NoticeOf(const RunOutcome& outcome)
{
    const QString name = QString::fromStdString(outcome.profile);
    const QString firstError = CoreText(outcome.firstError);
    OutcomeNotice notice;
    notice.critical = IsFailure(outcome.ending);
    switch (outcome.ending) {
    case RunEnding::Succeeded:
        notice.summary = QCoreApplication::translate("OutcomeNotices", "Sicherung „%1“ beendet").arg(name);
        notice.body = QCoreApplication::translate("OutcomeNotices", "Ohne Fehler beendet.");
        break;
    case RunEnding::Failed:
        notice.summary = QCoreApplication::translate("OutcomeNotices", "Sicherung „%1“ mit Fehlern beendet").arg(name);
        notice.body = QCoreApplication::translate("OutcomeNotices", "%n Fehler", nullptr, outcome.errors);
        if (!firstError.isEmpty())
            notice.body += QLatin1Char('\n') + firstError;
        break;
    case RunEnding::Refused:
        notice.summary = QCoreApplication::translate("OutcomeNotices", "Sicherung „%1“ nicht gestartet").arg(name);
        notice.body = firstError;
        break;
    case RunEnding::Interrupted:
        notice.summary = QCoreApplication::translate("OutcomeNotices", "Sicherung „%1“ unterbrochen").arg(name);
        notice.body =
            QCoreApplication::translate("OutcomeNotices", "Tresorio wurde beendet, bevor die Sicherung fertig war.");
        break;
    case RunEnding::Cancelled:
        notice.summary = QCoreApplication::translate("OutcomeNotices", "Sicherung „%1“ abgebrochen").arg(name);
        notice.body = QCoreApplication::translate("OutcomeNotices", "Vom Benutzer abgebrochen.");
        break;
    case RunEnding::Overdue:
        notice.summary = QCoreApplication::translate("OutcomeNotices", "Sicherung „%1“ überfällig").arg(name);
        notice.body = OverdueNotice(outcome.daysSinceSuccess);
        break;
    }
    return notice;
}

QString OverdueNotice(int daysSinceSuccess)
{
    // German has no plural form to pick from without a translation: both are spelt out.
    if (daysSinceSuccess == 1)
        return QCoreApplication::translate("OutcomeNotices", "Letzte erfolgreiche Sicherung vor einem Tag");
    return QCoreApplication::translate("OutcomeNotices", "Letzte erfolgreiche Sicherung vor %n Tagen", nullptr,
                                       daysSinceSuccess);
}
