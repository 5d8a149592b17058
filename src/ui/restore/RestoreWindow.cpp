#include "ui/restore/RestoreWindow.h"

#include "app/MainThreadQuestion.h"
#include "app/Program.h"
#include "base/DateTime.h"
#include "base/Text.h"
#include "engine/FileHelpers.h"
#include "restore/Moment.h"
#include "ui/restore/ConflictDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

enum Column
{
    NameColumn,
    SizeColumn,
    DateColumn,
    VersionColumn,
};

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string withoutSlash(std::string path)
{
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

RestoreWindow::RestoreWindow(Program& program, TProfile profile, QWidget* parent)
    : QDialog(parent), m_program(program), m_profile(std::move(profile)),
      m_offset(LocalOffsetSeconds(program.platform())), m_where(new QLabel(this)), m_status(new QLabel(this)),
      m_moments(new QComboBox(this)), m_tree(new QTreeWidget(this)), m_passwordLabel(new QLabel(this)),
      m_password(new QLineEdit(this)), m_toOriginal(new QRadioButton(this)), m_toFolder(new QRadioButton(this)),
      m_folder(new QLineEdit(this)), m_chooseFolder(new QPushButton(this)), m_progress(new QProgressBar(this)),
      m_start(new QPushButton(this)), m_pause(new QPushButton(this)), m_cancel(new QPushButton(this)),
      m_close(new QPushButton(this))
{
    setObjectName(QStringLiteral("restoreWindow"));
    setWindowTitle(tr("Wiederherstellen - %1").arg(text(m_profile.Name)));
    m_where->setObjectName(QStringLiteral("whereLabel"));
    m_where->setWordWrap(true);
    m_status->setObjectName(QStringLiteral("statusLabel"));
    m_status->setWordWrap(true);
    m_moments->setObjectName(QStringLiteral("momentBox"));
    m_tree->setObjectName(QStringLiteral("contentsTree"));
    m_tree->setHeaderLabels({tr("Name"), tr("Größe"), tr("Geändert"), tr("Fassung")});
    m_tree->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_tree->header()->setStretchLastSection(false);
    for (int column : {SizeColumn, DateColumn, VersionColumn})
        m_tree->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_tree->setUniformRowHeights(true);
    m_passwordLabel->setText(tr("&Kennwort des Archivs:"));
    m_passwordLabel->setBuddy(m_password);
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    // The profile's own password opens its archives; only one it does not keep is asked for.
    const bool askPassword = m_profile.Encrypt && m_profile.Password.empty();
    m_passwordLabel->setVisible(askPassword);
    m_password->setVisible(askPassword);
    m_toOriginal->setObjectName(QStringLiteral("toOriginalButton"));
    m_toOriginal->setText(tr("an den &ursprünglichen Ort"));
    m_toOriginal->setChecked(true);
    m_toFolder->setObjectName(QStringLiteral("toFolderButton"));
    m_toFolder->setText(tr("in einen an&deren Ordner:"));
    m_folder->setObjectName(QStringLiteral("targetFolderEdit"));
    m_chooseFolder->setObjectName(QStringLiteral("chooseFolderButton"));
    m_chooseFolder->setText(tr("..."));
    m_chooseFolder->setToolTip(tr("Ordner wählen"));
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setVisible(false);
    m_start->setObjectName(QStringLiteral("startButton"));
    m_start->setText(tr("&Starten"));
    m_pause->setObjectName(QStringLiteral("pauseButton"));
    m_pause->setText(tr("&Pause"));
    m_pause->setCheckable(true);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setText(tr("&Abbrechen"));
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_close->setText(tr("Sch&ließen"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_where);
    auto* momentRow = new QHBoxLayout;
    auto* momentLabel = new QLabel(tr("Stand &vom:"), this);
    momentLabel->setBuddy(m_moments);
    momentRow->addWidget(momentLabel);
    momentRow->addWidget(m_moments, 1);
    layout->addLayout(momentRow);
    layout->addWidget(m_tree, 1);
    auto* options = new QGridLayout;
    options->addWidget(m_passwordLabel, 0, 0);
    options->addWidget(m_password, 0, 1, 1, 2);
    options->addWidget(new QLabel(tr("Wiederherstellen:"), this), 1, 0);
    options->addWidget(m_toOriginal, 1, 1, 1, 2);
    options->addWidget(m_toFolder, 2, 1);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_chooseFolder);
    options->addLayout(folderRow, 2, 2);
    options->setColumnStretch(2, 1);
    layout->addLayout(options);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {m_start, m_pause, m_cancel, m_close})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    resize(760, 560);

    connect(m_moments, &QComboBox::currentIndexChanged, this, [this] { fillTree(); });
    connect(m_tree, &QTreeWidget::itemChanged, this, &RestoreWindow::itemChanged);
    connect(m_toFolder, &QRadioButton::toggled, this, [this] { showState(); });
    connect(m_folder, &QLineEdit::textEdited, this, [this] { m_toFolder->setChecked(true); });
    connect(m_chooseFolder, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Zielordner wählen"), m_folder->text());
        if (!folder.isEmpty()) {
            m_folder->setText(folder);
            m_toFolder->setChecked(true);
        }
    });
    connect(m_start, &QPushButton::clicked, this, [this] { Start(); });
    connect(m_pause, &QPushButton::toggled, this, [this](bool paused) {
        if (m_restoring)
            m_program.runControl().paused = paused;
        showState();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_readControl.abortRequested = true;
        if (m_restoring)
            m_program.runControl().abortRequested = true;
    });
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    m_progressTimer.setInterval(100);
    connect(&m_progressTimer, &QTimer::timeout, this,
            [this] { m_progress->setValue(static_cast<int>(m_filesHandled.load())); });

    // A large archive or a slow server takes its time: the window stays usable meanwhile.
    m_status->setText(tr("Der Inhalt der Sicherung wird gelesen..."));
    m_backup = std::make_unique<OpenedBackup>(m_profile, m_program.platform(), m_program.fs(), m_readControl);
    const DateTime now = m_program.platform().Now();
    const int language = m_program.settings().Language;
    m_worker = std::thread([this, now, language] {
        m_backup->Read(now, language);
        QMetaObject::invokeMethod(
            this, [this] { readDone(); }, Qt::QueuedConnection);
    });
    showState();
}

RestoreWindow::~RestoreWindow()
{
    m_readControl.abortRequested = true;
    if (m_restoring)
        m_program.runControl().abortRequested = true;
    joinWorker();
    // Gone before the restore's end reached it: the report still goes to the log.
    if (m_restoring)
        m_program.EndRestore(m_finished ? m_finished->report : std::vector<std::string>{});
}

void RestoreWindow::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void RestoreWindow::closeEvent(QCloseEvent* event)
{
    // A restore under way stops at its next file; its report is written before the window goes.
    if (m_restoring) {
        m_program.runControl().abortRequested = true;
        while (m_restoring)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
    }
    m_readControl.abortRequested = true;
    event->accept();
}

QString RestoreWindow::dateOf(std::int64_t ns) const
{
    return text(FormatStampedDateTime(LocalOf(ns, m_offset)));
}

void RestoreWindow::readDone()
{
    joinWorker();
    m_ready = true;
    const BackupContents& contents = m_backup->contents();
    m_where->setText(tr("Sicherung von \"%1\" in %2").arg(text(m_profile.Name), text(contents.where)));
    {
        const QSignalBlocker quiet(m_moments);
        m_moments->addItem(tr("neuester Stand"));
        for (std::int64_t moment : KnownMoments(contents.catalogue))
            m_moments->addItem(dateOf(moment), QVariant::fromValue(static_cast<qlonglong>(moment)));
    }
    QStringList problems;
    for (const std::string& problem : contents.problems)
        problems << text(problem);
    m_status->setText(problems.join(QLatin1Char('\n')));
    fillTree();
}

std::optional<std::int64_t> RestoreWindow::moment() const
{
    const QVariant chosen = m_moments->currentData();
    if (!chosen.isValid())
        return std::nullopt;
    return static_cast<std::int64_t>(chosen.toLongLong());
}

QTreeWidgetItem* RestoreWindow::itemOf(const std::string& originalPath) const
{
    const auto found = m_items.find(withoutSlash(originalPath));
    return found == m_items.end() ? nullptr : found->second;
}

QTreeWidgetItem* RestoreWindow::folderItem(const std::string& path)
{
    const std::string key = withoutSlash(path);
    if (const auto found = m_items.find(key); found != m_items.end())
        return found->second;
    QTreeWidgetItem* item = nullptr;
    // The sources stand at the top, with their whole path; what lies below them by its name.
    const auto& sources = m_backup->contents().layout.sources();
    const bool source =
        std::any_of(sources.begin(), sources.end(), [&](const std::string& s) { return withoutSlash(s) == key; });
    const std::size_t slash = key.rfind('/');
    if (source || slash == std::string::npos || slash == 0) {
        item = new QTreeWidgetItem(m_tree, {text(key.empty() ? "/" : key)});
    } else {
        QTreeWidgetItem* parent = folderItem(key.substr(0, slash));
        item = new QTreeWidgetItem(parent, {text(key.substr(slash + 1))});
    }
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
    item->setCheckState(NameColumn, Qt::Unchecked);
    m_items[key] = item;
    return item;
}

void RestoreWindow::fillTree()
{
    m_filling = true;
    m_tree->clear();
    m_items.clear();
    m_stateIndex.clear();
    m_versionOf.clear();
    const BackupContents& contents = m_backup->contents();
    const std::optional<std::int64_t> at = moment();
    m_state = contents.catalogue.StateAt(at, contents.wholeSets);
    for (std::size_t i = 0; i < m_state.size(); ++i) {
        const BackupCatalogue::Chosen& chosen = m_state[i];
        const std::optional<std::string> original = contents.layout.OriginalOf(chosen.sub);
        if (!original)
            continue;
        const StoredVersion& v = *chosen.version;
        QTreeWidgetItem* item = nullptr;
        if (v.kind == EntryKind::Folder) {
            item = folderItem(*original);
        } else {
            const std::string path = withoutSlash(*original);
            const std::size_t slash = path.rfind('/');
            QTreeWidgetItem* parent = folderItem(path.substr(0, slash == 0 ? 1 : slash));
            item = new QTreeWidgetItem(parent, {text(path.substr(slash + 1))});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(NameColumn, Qt::Unchecked);
            item->setText(SizeColumn, QLocale().formattedDataSize(v.size));
            m_items[path] = item;
            // Every version stored up to the moment, newest first, each to be chosen instead. A
            // file unchanged between backups lies in several generations or archives alike: it is
            // one version, shown where it was stored last.
            std::vector<const StoredVersion*> versions;
            for (const StoredVersion& other : contents.catalogue.entries().at(chosen.sub))
                if (!at || other.storedNs <= *at)
                    versions.push_back(&other);
            std::sort(versions.begin(), versions.end(), [](const StoredVersion* a, const StoredVersion* b) {
                return a->storedNs != b->storedNs ? a->storedNs > b->storedNs : a->generation < b->generation;
            });
            std::vector<const StoredVersion*> distinct;
            for (const StoredVersion* other : versions)
                if (std::none_of(distinct.begin(), distinct.end(), [other](const StoredVersion* kept) {
                        return kept->mtimeNs == other->mtimeNs && kept->size == other->size;
                    }))
                    distinct.push_back(other);
            versions = std::move(distinct);
            if (versions.size() > 1)
                for (const StoredVersion* other : versions) {
                    auto* row = new QTreeWidgetItem(item, {tr("Fassung vom %1").arg(dateOf(other->mtimeNs)),
                                                           QLocale().formattedDataSize(other->size),
                                                           dateOf(other->mtimeNs), text(other->version)});
                    row->setFlags((row->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsAutoTristate);
                    row->setCheckState(NameColumn, Qt::Unchecked);
                    m_versionOf[row] = other;
                }
        }
        item->setText(DateColumn, dateOf(v.mtimeNs));
        item->setText(VersionColumn, text(v.version));
        m_stateIndex[item] = i;
    }
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        m_tree->topLevelItem(i)->setExpanded(true);
    m_filling = false;
    showState();
}

void RestoreWindow::itemChanged(QTreeWidgetItem* item, int column)
{
    if (m_filling || column != NameColumn)
        return;
    m_filling = true;
    if (const auto version = m_versionOf.find(item); version != m_versionOf.end()) {
        // One version of a file at a time: the one checked replaces the others.
        QTreeWidgetItem* file = item->parent();
        if (item->checkState(NameColumn) == Qt::Checked) {
            for (int i = 0; i < file->childCount(); ++i)
                if (file->child(i) != item)
                    file->child(i)->setCheckState(NameColumn, Qt::Unchecked);
            m_filling = false;
            file->setCheckState(NameColumn, Qt::Checked);
            m_filling = true;
        }
    } else if (m_stateIndex.count(item) > 0 && item->checkState(NameColumn) == Qt::Unchecked) {
        for (int i = 0; i < item->childCount(); ++i)
            if (m_versionOf.count(item->child(i)) > 0)
                item->child(i)->setCheckState(NameColumn, Qt::Unchecked);
    }
    m_filling = false;
    showState();
}

std::vector<BackupCatalogue::Chosen> RestoreWindow::checkedItems() const
{
    std::vector<BackupCatalogue::Chosen> chosen;
    for (const auto& [item, index] : m_stateIndex) {
        BackupCatalogue::Chosen c = m_state[index];
        if (c.version->kind == EntryKind::Folder) {
            if (item->checkState(NameColumn) == Qt::Unchecked)
                continue;
        } else {
            if (item->checkState(NameColumn) != Qt::Checked)
                continue;
            for (int i = 0; i < item->childCount(); ++i)
                if (item->child(i)->checkState(NameColumn) == Qt::Checked)
                    if (const auto version = m_versionOf.find(item->child(i)); version != m_versionOf.end())
                        c.version = version->second;
        }
        chosen.push_back(c);
    }
    // Folders before what they hold, as the state lists them.
    std::sort(chosen.begin(), chosen.end(),
              [](const BackupCatalogue::Chosen& a, const BackupCatalogue::Chosen& b) { return a.sub < b.sub; });
    return chosen;
}

void RestoreWindow::showState()
{
    const bool idle = m_ready && !m_restoring;
    m_moments->setEnabled(idle);
    m_tree->setEnabled(idle);
    m_password->setEnabled(idle);
    m_toOriginal->setEnabled(idle);
    m_toFolder->setEnabled(idle);
    m_folder->setEnabled(idle);
    m_chooseFolder->setEnabled(idle);
    m_start->setEnabled(idle && !m_state.empty());
    m_pause->setEnabled(m_restoring);
    m_cancel->setEnabled(m_restoring || !m_ready);
    m_progress->setVisible(m_restoring || m_lastEnd.has_value());
}

bool RestoreWindow::Start()
{
    if (!m_ready || m_restoring)
        return false;
    RestoreChoice choice;
    choice.items = checkedItems();
    if (choice.items.empty()) {
        QMessageBox::information(this, windowTitle(), tr("Bitte wählen Sie aus, was wiederhergestellt werden soll."));
        return false;
    }
    if (m_toFolder->isChecked()) {
        const QString folder = m_folder->text().trimmed();
        if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) {
            QMessageBox::information(this, windowTitle(),
                                     tr("Bitte wählen Sie den Ordner, in den die Dateien sollen."));
            return false;
        }
        choice.target = AddSlash(QDir::cleanPath(folder).toStdString());
    }
    if (!m_program.BeginRestore())
        return false;
    if (const std::optional<std::int64_t> at = moment())
        choice.at = LocalOf(*at, m_offset);
    choice.password = m_password->isVisible() ? m_password->text().toStdString() : m_backup->storedPassword();
    // The report is German whatever the windows speak.
    choice.conflictText = "nachfragen";
    const auto toMainThread = [this](std::function<void()> task) {
        QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
    };
    RunControl& control = m_program.runControl();
    choice.conflict = [this, toMainThread, &control](const std::string& target, const FileEntry& existing,
                                                     const StoredVersion& version) {
        // A cancel lets the worker go on before the question was asked: it keeps its own copies.
        const StoredVersion* stored = &version;
        return AskOnMainThread<ConflictAnswer>(
            toMainThread, control, [this, target, existing, stored] { return askConflict(target, existing, *stored); },
            ConflictAnswer::Skip);
    };
    m_answerForAll.reset();
    m_lastEnd.reset();
    m_restoring = true;
    // The scheduler's pause holds a restore as it holds a backup; the window's own button
    // shows it and lets it go on.
    {
        const QSignalBlocker quiet(m_pause);
        m_pause->setChecked(control.paused.load());
    }
    std::int64_t files = 0;
    for (const BackupCatalogue::Chosen& c : choice.items)
        files += c.version->kind == EntryKind::Folder ? 0 : 1;
    m_filesHandled = 0;
    m_progress->setRange(0, static_cast<int>(files));
    m_progress->setValue(0);
    m_progressTimer.start();
    m_status->setText(tr("Wiederherstellung läuft..."));
    showState();
    m_worker = std::thread([this, choice = std::move(choice), &control] {
        // The report goes to the log on this window's thread, which the program's log belongs to.
        const RestorePlace place{m_program.dataFolder(),
                                 m_program.settings(),
                                 m_program.platform(),
                                 m_program.fs(),
                                 control,
                                 [](const std::vector<std::string>&) { return true; },
                                 [this](std::int64_t handled, std::int64_t) { m_filesHandled = handled; }};
        m_finished = std::make_unique<RestoreEnd>(RunRestore(*m_backup, choice, place));
        QMetaObject::invokeMethod(
            this, [this] { restoreDone(); }, Qt::QueuedConnection);
    });
    return true;
}

ConflictAnswer RestoreWindow::askConflict(const std::string& target, const FileEntry& existing,
                                          const StoredVersion& version)
{
    if (m_answerForAll)
        return *m_answerForAll;
    const QString there =
        tr("%1, geändert am %2").arg(QLocale().formattedDataSize(existing.size), dateOf(existing.mtimeNs));
    const QString restored =
        tr("%1, geändert am %2").arg(QLocale().formattedDataSize(version.size), dateOf(version.mtimeNs));
    ConflictDialog question(text(target), there, restored, this);
    question.exec();
    if (question.forAll())
        m_answerForAll = question.answer();
    return question.answer();
}

void RestoreWindow::restoreDone()
{
    joinWorker();
    RestoreEnd end = std::move(*m_finished);
    m_finished.reset();
    m_progressTimer.stop();
    m_progress->setValue(static_cast<int>(m_filesHandled.load()));
    const bool cancelled = m_program.runControl().abortRequested.load();
    m_restoring = false;
    end.written = m_program.EndRestore(end.report);
    QString summary = cancelled ? tr("Abgebrochen.") : tr("Fertig.");
    summary += QLatin1Char(' ') + tr("%1 Datei(en) wiederhergestellt, %2 Fehler, %3 übersprungen.")
                                      .arg(end.stats.filesDone)
                                      .arg(end.stats.errorCount)
                                      .arg(end.skipped);
    if (!end.written)
        summary += QLatin1Char(' ') + tr("Der Bericht konnte nicht ins Protokoll geschrieben werden.");
    m_status->setText(summary);
    m_lastEnd = std::move(end);
    {
        const QSignalBlocker quiet(m_pause);
        m_pause->setChecked(false);
    }
    showState();
}
