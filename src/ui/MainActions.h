#pragma once

#include <QAction>
#include <QObject>
#include <array>

/// The commands of the main window, shared by its menus, toolbar, list menu, task pane and the
/// tray menu. The captions are set (and translated) by Retranslate.
class MainActions final : public QObject
{
    Q_OBJECT

public:
    explicit MainActions(QObject* parent);
    Q_DISABLE_COPY_MOVE(MainActions)

    void Retranslate();

    QAction* New;
    QAction* Delete;
    QAction* Rename;
    QAction* Properties;
    QAction* Run;
    QAction* Restore; // the restore window for the selected profile
    QAction* Pause;
    QAction* Stop;
    QAction* Autostart;
    QAction* Close;
    QAction* CloseAndEnd;
    QAction* CloseAndEndNoActions;
    QAction* CopyProfile;
    QAction* RememberProfile; // Ctrl+C: remembers the row Ctrl+V duplicates
    QAction* DeleteLog;
    QAction* Link;
    QAction* Options;
    QAction* ShowToolbar;
    QAction* ShowStatusBar;
    QAction* ShowTaskPane;
    std::array<QAction*, 4> ViewStyles; // large icons, small icons, list, details
    QAction* Log;
    QAction* HelpContent;
    QAction* About;
    QAction* ShowWindow; // the tray's "&Profile bearbeiten..."
};
