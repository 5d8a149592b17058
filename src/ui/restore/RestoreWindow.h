#pragma once

#include "app/RestoreFlow.h"
#include "profiles/TProfile.h"

#include <QDialog>
#include <QTimer>
#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class Program;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

/// "Wiederherstellen": what a profile's destination holds, as a tree of the original paths with
/// check boxes, every version of a file the destination keeps, and the state at a chosen moment
/// ("Stand vom"). The checked items go back to their original place or into another folder, on
/// a worker, with progress, pause and cancel; a file that differs at the target is replaced only
/// when the user says so. The destination is read on a worker too, so a large one never freezes
/// the window.
class RestoreWindow final : public QDialog
{
    Q_OBJECT

public:
    RestoreWindow(Program& program, TProfile profile, QWidget* parent = nullptr);
    ~RestoreWindow() override;
    Q_DISABLE_COPY_MOVE(RestoreWindow)

    /// The destination has been read and the tree shows it.
    bool ready() const { return m_ready; }
    bool restoring() const { return m_restoring; }
    /// The row of an original path (a folder without its trailing "/"), as the tree shows it now.
    QTreeWidgetItem* itemOf(const std::string& originalPath) const;
    /// The outcome of the last restore, once it ended.
    const std::optional<RestoreEnd>& lastEnd() const { return m_lastEnd; }

    /// "Starten": restores the checked items; false when it did not start.
    bool Start();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void readDone();
    void fillTree();
    /// The folder row of an original folder path, made with its parents as needed.
    QTreeWidgetItem* folderItem(const std::string& path);
    void itemChanged(QTreeWidgetItem* item, int column);
    std::vector<BackupCatalogue::Chosen> checkedItems() const;
    std::optional<std::int64_t> moment() const;
    ConflictAnswer askConflict(const std::string& target, const FileEntry& existing, const StoredVersion& version);
    void restoreDone();
    void showState();
    void joinWorker();
    QString dateOf(std::int64_t ns) const;

    Program& m_program;
    TProfile m_profile;
    std::int64_t m_offset = 0; // local time minus UTC
    RunControl m_readControl;  // stops a server that keeps the reading waiting
    std::unique_ptr<OpenedBackup> m_backup;
    std::thread m_worker;
    bool m_ready = false;
    bool m_restoring = false;
    bool m_filling = false; // the tree is being built or its boxes set: no reaction to changes
    std::vector<BackupCatalogue::Chosen> m_state;
    std::map<std::string, QTreeWidgetItem*> m_items; // by original path, without a trailing "/"
    std::map<const QTreeWidgetItem*, std::size_t> m_stateIndex;
    std::map<const QTreeWidgetItem*, const StoredVersion*> m_versionOf; // the rows of single versions
    std::optional<ConflictAnswer> m_answerForAll;
    std::atomic<std::int64_t> m_filesHandled{0};
    std::optional<RestoreEnd> m_lastEnd;
    std::unique_ptr<RestoreEnd> m_finished; // set by the worker as it ends, taken on this thread
    QTimer m_progressTimer;

    QLabel* m_where;
    QLabel* m_status;
    QComboBox* m_moments;
    QTreeWidget* m_tree;
    QLabel* m_passwordLabel;
    QLineEdit* m_password;
    QRadioButton* m_toOriginal;
    QRadioButton* m_toFolder;
    QLineEdit* m_folder;
    QPushButton* m_chooseFolder;
    QProgressBar* m_progress;
    QPushButton* m_start;
    QPushButton* m_pause;
    QPushButton* m_cancel;
    QPushButton* m_close;
};
