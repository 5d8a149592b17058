#include "ui/MainActions.h"

#include "ui/Icons.h"

#include <QActionGroup>
#include <QFont>

MainActions::MainActions(QObject* parent)
    : QObject(parent), New(new QAction(CommandIcon(QStringLiteral("new")), {}, this)),
      Delete(new QAction(CommandIcon(QStringLiteral("delete")), {}, this)), Rename(new QAction(this)),
      Properties(new QAction(CommandIcon(QStringLiteral("properties")), {}, this)),
      Run(new QAction(CommandIcon(QStringLiteral("run")), {}, this)),
      Restore(new QAction(CommandIcon(QStringLiteral("restore")), {}, this)),
      Pause(new QAction(CommandIcon(QStringLiteral("pause")), {}, this)),
      Stop(new QAction(CommandIcon(QStringLiteral("stop")), {}, this)), Autostart(new QAction(this)),
      Close(new QAction(this)), CloseAndEnd(new QAction(this)), CloseAndEndNoActions(new QAction(this)),
      CopyProfile(new QAction(this)), RememberProfile(new QAction(this)), DeleteLog(new QAction(this)),
      Link(new QAction(this)), Options(new QAction(this)), ShowToolbar(new QAction(this)),
      ShowStatusBar(new QAction(this)),
      ShowTaskPane(new QAction(this)), ViewStyles{new QAction(CommandIcon(QStringLiteral("view-large")), {}, this),
                                                  new QAction(CommandIcon(QStringLiteral("view-small")), {}, this),
                                                  new QAction(CommandIcon(QStringLiteral("view-list")), {}, this),
                                                  new QAction(CommandIcon(QStringLiteral("view-details")), {}, this)},
      Log(new QAction(CommandIcon(QStringLiteral("log")), {}, this)), HelpContent(new QAction(this)),
      About(new QAction(this)), ShowWindow(new QAction(this))
{
    New->setShortcut(Qt::Key_Insert);
    Delete->setShortcut(Qt::Key_Delete);
    CopyProfile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    RememberProfile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    HelpContent->setShortcut(Qt::Key_F1);
    for (QAction* action : {New, Delete, CopyProfile, RememberProfile})
        action->setShortcutContext(Qt::WindowShortcut);
    for (QAction* action : {Pause, Autostart, ShowToolbar, ShowStatusBar, ShowTaskPane})
        action->setCheckable(true);
    auto* views = new QActionGroup(this);
    for (QAction* action : ViewStyles) {
        action->setCheckable(true);
        views->addAction(action);
    }
    QFont bold = ShowWindow->font();
    bold.setBold(true);
    ShowWindow->setFont(bold);
    // The profile commands enable theirs.
    for (QAction* action : {New, Delete, Rename, Properties, CopyProfile, Link})
        action->setEnabled(false);
    Retranslate();
}

void MainActions::Retranslate()
{
    New->setText(tr("&Neu..."));
    Delete->setText(tr("&Löschen..."));
    Rename->setText(tr("&Umbenennen..."));
    Properties->setText(tr("&Eigenschaften..."));
    Run->setText(tr("&Sicherung jetzt durchführen"));
    Restore->setText(tr("&Wiederherstellen…"));
    Restore->setToolTip(tr("Dateien aus der Sicherung des gewählten Profils zurückholen"));
    Pause->setText(tr("&Pause"));
    Pause->setToolTip(tr("Pause. Keine weitere Sicherung wird durchgeführt."));
    Pause->setStatusTip(Pause->toolTip());
    Stop->setText(tr("Sicherung abb&rechen"));
    Autostart->setText(tr("&Autostart"));
    Close->setText(tr("Sch&ließen"));
    CloseAndEnd->setText(tr("Schließen und &Beenden"));
    CloseAndEndNoActions->setText(tr("Schließen und Beenden (ohne weitere Aktionen)"));
    CopyProfile->setText(tr("Profil &duplizieren"));
    RememberProfile->setText(tr("Profil merken"));
    DeleteLog->setText(tr("&Protokoll löschen..."));
    Link->setText(tr("Link am Desktop erstellen"));
    Options->setText(tr("&Optionen..."));
    ShowToolbar->setText(tr("&Symbolleiste"));
    ShowStatusBar->setText(tr("S&tatusleiste"));
    ShowTaskPane->setText(tr("XP-Aufgabenleiste"));
    ViewStyles[0]->setText(tr("&Große Symbole"));
    ViewStyles[1]->setText(tr("&Kleine Symbole"));
    ViewStyles[2]->setText(tr("&Liste"));
    ViewStyles[3]->setText(tr("&Details"));
    Log->setText(tr("&Protokoll..."));
    HelpContent->setText(tr("&Inhalt"));
    About->setText(tr("Inf&o..."));
    ShowWindow->setText(tr("&Profile bearbeiten..."));
}
