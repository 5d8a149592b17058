#pragma once

#include "profiles/ProfileList.h"
#include "scheduler/NextTaskView.h"
#include "ui/PublishedProgress.h"

#include <QMainWindow>
#include <QPointer>
#include <optional>
#include <string>
#include <vector>

class Dialogs;
class LogViewer;
class MainActions;
class ProfileListModel;
class Program;
class QLabel;
class QListView;
class QMenu;
class QStackedWidget;
class QToolBar;
class RestoreWindow;
class QTreeView;
class TaskPane;
class TopPanel;

/// The window "Kestrova Tresorio": the profile list in four view styles, the details pane, the top
/// panel, menus, toolbar and status bar. Closing it only hides it (or, where the desktop has no
/// notification area, minimises it); the program ends only through its exit commands.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(Program& program, Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    /// Takes the view style, column widths, task pane and placement from the settings.
    void RestoreSettings();
    /// Writes the view's settings and the placement into the settings.
    void StoreSettings();

    // What the program shows (its view).
    void UpdateProfileList();
    /// The running profile's name and its mode (a text of the core), or the idle layout.
    void ShowActive(bool active, const QString& name, const std::string& mode);
    void ShowNextTask(const NextTaskView& next);
    void ShowPaused(bool paused);
    void ComeToFront();
    /// Opens the log at a report (its lines, as they went into the log); where the log is open
    /// already, that window goes there.
    void OpenLogAt(const std::vector<std::string>& report);
    /// "Wiederherstellen…" for the selected profile: its restore window, which stays while a
    /// restore in it is under way.
    void OpenRestore();
    /// The restore window while it is open.
    RestoreWindow* restoreWindow() const;
    /// The log window while it is open.
    LogViewer* logViewer() const;
    void ShowProgress(const ProgressSnapshot& progress);

    /// Whether closing hides the window (a tray icon shows the program) or minimises it.
    void setHidesOnClose(bool hides) { m_hidesOnClose = hides; }
    void setViewStyle(int style);
    int viewStyle() const { return m_viewStyle; }

    MainActions& actions() { return *m_actions; }
    ProfileListModel& model() { return *m_model; }
    QTreeView* detailView() const { return m_detailView; }
    QListView* iconView() const { return m_iconView; }
    TopPanel* topPanel() const { return m_topPanel; }
    TaskPane* taskPane() const { return m_taskPane; }
    /// The texts of the status bar's two panels.
    QStringList statusTexts() const;
    /// The selected row, if any.
    std::optional<int> selectedRow() const;
    void selectRow(int row);
    /// The profile Ctrl+C remembered (forgotten when it is deleted).
    std::optional<ProfileId> copySource() const { return m_copySource; }
    /// Asks and deletes Backup.log; whether it did.
    bool DeleteLog();

signals:
    void aboutRequested();
    void helpRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createMenus();
    void createToolBar();
    void createViews();
    void connectActions();
    void retranslate();
    void showSelectedDetails();
    /// Status-bar panel 1: the next task or the pause text.
    void showNextTaskStatus();
    void openLog();
    /// The log window, at a report when one is given.
    void showLog(const QString& report);
    void rememberProfile();
    void listMenu(const QPoint& position);
    void columnWidthChanged(int column, int width);

    Program& m_program;
    Dialogs& m_dialogs;
    QPointer<LogViewer> m_logViewer; // while the log is open
    QPointer<RestoreWindow> m_restoreWindow;
    MainActions* m_actions;
    ProfileListModel* m_model;
    TopPanel* m_topPanel;
    TaskPane* m_taskPane;
    QStackedWidget* m_views;
    QListView* m_iconView;
    QTreeView* m_detailView;
    QToolBar* m_toolBar;
    QLabel* m_countLabel;
    QLabel* m_nextLabel;
    QMenu* m_fileMenu;
    QMenu* m_editMenu;
    QMenu* m_viewMenu;
    QMenu* m_helpMenu;
    QMenu* m_listMenu;
    NextTaskView m_next;
    int m_viewStyle = 0;
    bool m_hidesOnClose = true;
    bool m_restoring = false;
    std::optional<ProfileId> m_copySource;
    std::optional<ProfileId> m_selectedBeforeReset;
};
