#include "ui/MainWindow.h"

#include "app/Program.h"
#include "ui/CoreTexts.h"
#include "ui/LogViewer.h"
#include "ui/MainActions.h"
#include "ui/ProfileListModel.h"
#include "ui/TaskPane.h"
#include "ui/TopPanel.h"
#include "ui/restore/RestoreWindow.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>

namespace {

} // namespace

MainWindow::MainWindow(Program& program, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_program(program), m_dialogs(dialogs), m_actions(new MainActions(this)),
      m_model(new ProfileListModel(
          program.profiles(),
          [&program] {
              return RunMarks{program.ActiveProfileIndex(), program.SchedulerPaused(),
                              [&program](const TProfile& profile) { return program.OverdueOf(profile); }};
          },
          [&program](int from, int before) { program.MoveRow(from, before); }, this)),
      m_topPanel(new TopPanel(this)),
      m_taskPane(new TaskPane({m_actions->New, m_actions->Run, m_actions->Properties, m_actions->Log}, this)),
      m_views(new QStackedWidget(this)), m_iconView(new QListView(this)), m_detailView(new QTreeView(this)),
      m_toolBar(new QToolBar(this)), m_countLabel(new QLabel(this)), m_nextLabel(new QLabel(this)),
      m_fileMenu(new QMenu(this)), m_editMenu(new QMenu(this)), m_viewMenu(new QMenu(this)),
      m_helpMenu(new QMenu(this)), m_listMenu(new QMenu(this))
{
    setObjectName(QStringLiteral("TFMMain"));
    createViews();
    createMenus();
    createToolBar();
    statusBar()->addWidget(m_countLabel);
    statusBar()->addWidget(m_nextLabel, 1);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_topPanel);
    auto* lower = new QHBoxLayout;
    lower->setSpacing(0);
    lower->addWidget(m_taskPane);
    lower->addWidget(m_views, 1);
    layout->addLayout(lower, 1);
    setCentralWidget(central);

    connectActions();
    m_actions->ShowToolbar->setChecked(true);
    m_actions->ShowStatusBar->setChecked(true);
    m_actions->ShowTaskPane->setChecked(true);
    // The settings are not read yet: the first style must not overwrite the stored one.
    m_restoring = true;
    setViewStyle(0);
    m_restoring = false;
    resize(820, 520);
    retranslate();
    UpdateProfileList();
}

MainWindow::~MainWindow() = default;

void MainWindow::createViews()
{
    for (QAbstractItemView* view : std::initializer_list<QAbstractItemView*>{m_iconView, m_detailView}) {
        view->setModel(m_model);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setDragEnabled(true);
        view->setAcceptDrops(true);
        view->setDropIndicatorShown(true);
        view->setDragDropMode(QAbstractItemView::DragDrop);
        view->setDefaultDropAction(Qt::MoveAction);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        connect(view, &QWidget::customContextMenuRequested, this, &MainWindow::listMenu);
        connect(view, &QAbstractItemView::doubleClicked, m_actions->Properties, &QAction::trigger);
    }
    // Both views share one selection, so switching the style keeps the selected profile.
    m_detailView->setSelectionModel(m_iconView->selectionModel());
    m_iconView->setObjectName(QStringLiteral("LVProfile"));
    m_iconView->setModelColumn(0);
    m_iconView->setMovement(QListView::Static);
    m_iconView->setResizeMode(QListView::Adjust);
    m_detailView->setObjectName(QStringLiteral("LVProfileDetails"));
    m_detailView->setRootIsDecorated(false);
    m_detailView->setItemsExpandable(false);
    m_detailView->setAllColumnsShowFocus(true);
    m_detailView->setUniformRowHeights(true);
    m_detailView->header()->setSectionsClickable(true);
    m_detailView->header()->setSectionsMovable(false);
    m_detailView->header()->setStretchLastSection(true);
    m_detailView->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(m_detailView->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_program.SortBy(static_cast<ProfileColumn>(column)); });
    connect(m_detailView->header(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { columnWidthChanged(column, width); });
    connect(m_iconView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::showSelectedDetails);
    // Sorting, dragging and deleting rebuild the rows: the selection follows its profile, and a
    // remembered copy source that is gone is forgotten.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const std::optional<int> row = selectedRow();
        m_selectedBeforeReset = row ? std::optional(m_program.profiles().idAt(*row)) : std::nullopt;
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_copySource && !m_program.profiles().rowOf(*m_copySource))
            m_copySource.reset();
        const auto row = m_selectedBeforeReset ? m_program.profiles().rowOf(*m_selectedBeforeReset) : std::nullopt;
        if (row)
            selectRow(*row);
        showSelectedDetails();
    });
    m_views->addWidget(m_iconView);
    m_views->addWidget(m_detailView);
}

void MainWindow::createMenus()
{
    MainActions& a = *m_actions;
    m_fileMenu->addActions({a.New, a.Delete, a.Rename, a.Properties});
    m_fileMenu->addSeparator();
    m_fileMenu->addActions({a.Run, a.Restore, a.Pause, a.Stop, a.Autostart});
    m_fileMenu->addSeparator();
    m_fileMenu->addActions({a.Close, a.CloseAndEnd, a.CloseAndEndNoActions});
    m_editMenu->addActions({a.CopyProfile, a.DeleteLog});
    m_editMenu->addSeparator();
    m_editMenu->addAction(a.Link);
    m_editMenu->addSeparator();
    m_editMenu->addAction(a.Options);
    m_viewMenu->addActions({a.ShowToolbar, a.ShowStatusBar, a.ShowTaskPane});
    m_viewMenu->addSeparator();
    for (QAction* style : a.ViewStyles)
        m_viewMenu->addAction(style);
    m_viewMenu->addSeparator();
    m_viewMenu->addAction(a.Log);
    m_helpMenu->addActions({a.HelpContent, a.About});
    for (QMenu* menu : {m_fileMenu, m_editMenu, m_viewMenu, m_helpMenu})
        menuBar()->addMenu(menu);
    m_listMenu->addActions({a.New, a.Delete, a.Rename, a.Run, a.Restore, a.Pause, a.CopyProfile, a.Link, a.Properties});
    // Shortcuts work wherever the focus is in the window, also with the menus closed.
    addActions({a.New, a.Delete, a.CopyProfile, a.RememberProfile, a.HelpContent});
}

void MainWindow::createToolBar()
{
    MainActions& a = *m_actions;
    m_toolBar->setObjectName(QStringLiteral("TBStandard"));
    m_toolBar->addActions({a.New, a.Delete, a.Properties});
    m_toolBar->addSeparator();
    for (QAction* style : a.ViewStyles)
        m_toolBar->addAction(style);
    m_toolBar->addSeparator();
    m_toolBar->addActions({a.Run, a.Restore, a.Pause, a.Stop});
    m_toolBar->addSeparator();
    m_toolBar->addAction(a.Log);
    m_toolBar->setIconSize({22, 22});
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void MainWindow::connectActions()
{
    MainActions& a = *m_actions;
    connect(a.Run, &QAction::triggered, this, [this] { m_program.RunNow(selectedRow()); });
    connect(a.Restore, &QAction::triggered, this, &MainWindow::OpenRestore);
    connect(a.Pause, &QAction::triggered, this, [this](bool paused) { m_program.SetPaused(paused); });
    connect(a.Stop, &QAction::triggered, this, [this] { m_program.CancelRun(); });
    connect(a.Autostart, &QAction::triggered, this,
            [this](bool on) { m_actions->Autostart->setChecked(m_program.SetAutostart(on)); });
    connect(a.Close, &QAction::triggered, this, &QWidget::close);
    connect(a.CloseAndEnd, &QAction::triggered, this, [this] { m_program.CloseAndEnd(false); });
    connect(a.CloseAndEndNoActions, &QAction::triggered, this, [this] { m_program.CloseAndEnd(true); });
    connect(a.RememberProfile, &QAction::triggered, this, &MainWindow::rememberProfile);
    connect(a.ShowToolbar, &QAction::triggered, this, [this](bool shown) {
        if (shown) {
            // Back in the top dock at the left edge, also after it floated.
            removeToolBar(m_toolBar);
            addToolBar(Qt::TopToolBarArea, m_toolBar);
        }
        m_toolBar->setVisible(shown);
    });
    // Closing the floating toolbar with its own button takes the check mark away.
    connect(m_toolBar, &QToolBar::visibilityChanged, this, [this](bool visible) {
        if (!isHidden() && !isMinimized())
            m_actions->ShowToolbar->setChecked(visible);
    });
    connect(a.ShowStatusBar, &QAction::triggered, this, [this](bool shown) { statusBar()->setVisible(shown); });
    connect(a.ShowTaskPane, &QAction::triggered, this, [this](bool shown) {
        m_taskPane->setVisible(shown);
        m_program.settings().XPTask = shown;
    });
    for (int style = 0; style < 4; ++style)
        connect(a.ViewStyles[static_cast<std::size_t>(style)], &QAction::triggered, this,
                [this, style] { setViewStyle(style); });
    connect(a.Log, &QAction::triggered, this, &MainWindow::openLog);
    connect(a.DeleteLog, &QAction::triggered, this, &MainWindow::DeleteLog);
    connect(a.HelpContent, &QAction::triggered, this, &MainWindow::helpRequested);
    connect(a.About, &QAction::triggered, this, &MainWindow::aboutRequested);
    connect(m_taskPane, &TaskPane::errorsClicked, this, &MainWindow::openLog);
    connect(m_fileMenu, &QMenu::aboutToShow, this, [this] { m_actions->Autostart->setChecked(m_program.Autostart()); });
}

void MainWindow::setViewStyle(int style)
{
    if (style < 0 || style > 3)
        style = 0;
    m_viewStyle = style;
    m_actions->ViewStyles[static_cast<std::size_t>(style)]->setChecked(true);
    if (!m_restoring)
        m_program.settings().Viewstyle = style;
    if (style == 3) {
        m_views->setCurrentWidget(m_detailView);
        return;
    }
    const bool large = style == 0;
    m_iconView->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    m_iconView->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    m_iconView->setFlow(style == 2 ? QListView::TopToBottom : QListView::LeftToRight);
    m_iconView->setWrapping(true);
    m_iconView->setWordWrap(large);
    m_iconView->setGridSize(large ? QSize(120, 76) : QSize());
    m_iconView->setSpacing(large ? 0 : 4);
    // In icon mode the list would move the icons itself: the rows move only through the model.
    m_iconView->setMovement(QListView::Static);
    m_iconView->setDragDropMode(QAbstractItemView::DragDrop);
    m_views->setCurrentWidget(m_iconView);
}

void MainWindow::columnWidthChanged(int column, int width)
{
    if (m_restoring || column < 0 || column > 3 || width <= 0)
        return;
    m_program.settings().ListColumns[static_cast<std::size_t>(column)] = width;
}

void MainWindow::RestoreSettings()
{
    m_restoring = true;
    const ProgramSettings& settings = m_program.settings();
    for (int column = 0; column < 3; ++column) {
        const int stored = settings.ListColumns[static_cast<std::size_t>(column)];
        m_detailView->setColumnWidth(
            column, stored > 0 ? stored : ProgramSettings{}.ListColumns[static_cast<std::size_t>(column)]);
    }
    m_restoring = false;
    setViewStyle(settings.Viewstyle);
    m_actions->ShowTaskPane->setChecked(settings.XPTask);
    m_taskPane->setVisible(settings.XPTask);
    const QByteArray geometry = QByteArray::fromBase64(QByteArray::fromStdString(settings.WindowGeometry));
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    const QByteArray state = QByteArray::fromBase64(QByteArray::fromStdString(settings.WindowState));
    if (!state.isEmpty())
        restoreState(state);
    m_actions->ShowToolbar->setChecked(!m_toolBar->isHidden());
}

void MainWindow::StoreSettings()
{
    if (m_restoring)
        return;
    ProgramSettings& settings = m_program.settings();
    settings.Viewstyle = m_viewStyle;
    settings.XPTask = m_actions->ShowTaskPane->isChecked();
    settings.WindowGeometry = saveGeometry().toBase64().toStdString();
    settings.WindowState = saveState().toBase64().toStdString();
}

void MainWindow::UpdateProfileList()
{
    m_model->Refresh();
    const int count = m_program.profiles().count();
    m_countLabel->setText(count == 1 ? tr("%1 Profil").arg(count) : tr("%1 Profile").arg(count));
    showNextTaskStatus();
    const bool running = m_program.RunActive();
    m_actions->Stop->setEnabled(running);
    m_actions->Pause->setChecked(m_program.SchedulerPaused());
    if (!running)
        showSelectedDetails();
}

void MainWindow::showNextTaskStatus()
{
    if (m_next.status.empty())
        m_nextLabel->clear();
    else if (m_next.status.starts_with("Nächste Sicherung: "))
        m_nextLabel->setText(tr("Nächste Sicherung") + QStringLiteral(": ") +
                             CoreText(m_next.status.substr(std::string("Nächste Sicherung: ").size())));
    else
        m_nextLabel->setText(CoreText(m_next.status));
}

void MainWindow::showSelectedDetails()
{
    const std::optional<int> row = selectedRow();
    if (row && *row < m_program.profiles().count()) {
        const TProfile& profile = m_program.profiles().at(*row);
        ProfileDetailTexts details = DetailTexts(profile);
        if (const OverdueState state = m_program.OverdueOf(profile); state.overdue)
            details.overdueDays = state.daysSinceSuccess;
        m_taskPane->ShowDetails(details);
    } else
        m_taskPane->ShowDetails(std::nullopt);
}

void MainWindow::ShowActive(bool active, const QString& name, const std::string& mode)
{
    m_topPanel->ShowActive(active, name, mode);
    m_actions->Stop->setEnabled(active);
}

void MainWindow::ShowNextTask(const NextTaskView& next)
{
    // Only the texts of the next task change here; the program refreshes the rows itself
    // whenever they change.
    m_next = next;
    m_topPanel->ShowNextTask(next);
    showNextTaskStatus();
}

void MainWindow::ShowPaused(bool paused)
{
    m_actions->Pause->setChecked(paused);
}

void MainWindow::ShowProgress(const ProgressSnapshot& progress)
{
    m_topPanel->ShowProgress(progress);
}

void MainWindow::ComeToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

QStringList MainWindow::statusTexts() const
{
    return {m_countLabel->text(), m_nextLabel->text()};
}

std::optional<int> MainWindow::selectedRow() const
{
    const QModelIndexList rows = m_iconView->selectionModel()->selectedIndexes();
    if (rows.isEmpty())
        return std::nullopt;
    int first = rows.front().row();
    for (const QModelIndex& index : rows)
        first = std::min(first, index.row());
    return first;
}

void MainWindow::selectRow(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    m_iconView->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_iconView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void MainWindow::rememberProfile()
{
    // The running profile is not remembered: its record changes when the run ends.
    const std::optional<int> row = selectedRow();
    if (row && row != m_program.ActiveProfileIndex())
        m_copySource = m_program.profiles().idAt(*row);
}

RestoreWindow* MainWindow::restoreWindow() const
{
    return m_restoreWindow;
}

void MainWindow::OpenRestore()
{
    const std::optional<int> row = selectedRow();
    // One restore window at a time: a restore under way keeps its window, another one goes.
    if (m_restoreWindow && (m_restoreWindow->restoring() || !row)) {
        m_restoreWindow->raise();
        m_restoreWindow->activateWindow();
        return;
    }
    if (!row) {
        m_dialogs.ShowInfo(Message("Kein Profil ausgewählt."));
        return;
    }
    if (m_restoreWindow)
        m_restoreWindow->close();
    auto* window = new RestoreWindow(m_program, m_program.profiles().at(*row), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_restoreWindow = window;
    window->show();
}

LogViewer* MainWindow::logViewer() const
{
    return m_logViewer;
}

void MainWindow::openLog()
{
    showLog({});
}

void MainWindow::showLog(const QString& report)
{
    if (m_logViewer) {
        if (!report.isEmpty())
            m_logViewer->ShowReport(report);
        m_logViewer->raise();
        m_logViewer->activateWindow();
        return;
    }
    LogViewer viewer(
        m_program.logPath(), m_dialogs, [this] { return DeleteLog(); }, this);
    if (!report.isEmpty())
        viewer.ShowReport(report);
    m_logViewer = &viewer;
    viewer.exec();
}

void MainWindow::OpenLogAt(const std::vector<std::string>& report)
{
    QStringList lines;
    for (const std::string& line : report)
        lines << QString::fromStdString(line);
    // The report ends with an empty line; the next report may follow it directly.
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    // Opened on the next turn of the event loop: the caller (a notification's action) goes on.
    QMetaObject::invokeMethod(
        this,
        [this, text = lines.join(QLatin1Char('\n'))] {
            ComeToFront();
            showLog(text);
        },
        Qt::QueuedConnection);
}

bool MainWindow::DeleteLog()
{
    return m_program.DeleteLog([this](const std::string& question) { return m_dialogs.AskConfirmation(question); });
}

void MainWindow::listMenu(const QPoint& position)
{
    auto* view = qobject_cast<QAbstractItemView*>(sender());
    if (view)
        m_listMenu->popup(view->viewport()->mapToGlobal(position));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing never ends the program: it goes on in the notification area, or minimised where
    // the desktop has none, so it is never out of the user's reach.
    m_program.SaveSettings(); // the window's own settings come with them
    event->ignore();
    if (m_hidesOnClose)
        hide();
    else
        showMinimized();
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        if (!selectedRow() && m_program.profiles().count() > 0)
            selectRow(0);
        UpdateProfileList();
    }
    return QMainWindow::event(event);
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

void MainWindow::retranslate()
{
    setWindowTitle(tr("Kestrova Tresorio"));
    m_actions->Retranslate();
    m_fileMenu->setTitle(tr("&Datei"));
    m_editMenu->setTitle(tr("&Bearbeiten"));
    m_viewMenu->setTitle(tr("&Ansicht"));
    m_helpMenu->setTitle(tr("&?"));
    m_toolBar->setWindowTitle(tr("Standard"));
    UpdateProfileList();
}
