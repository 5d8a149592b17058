#pragma once

#include "scheduler/NextTaskView.h"
#include "ui/PublishedProgress.h"

#include <QFrame>

class ElidedLabel;
class QLabel;
class QProgressBar;

/// The panel above the list: the profile that runs next, or during a run the running profile with
/// its phase, folder, counters and progress bar.
class TopPanel final : public QFrame
{
    Q_OBJECT

public:
    explicit TopPanel(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TopPanel)

    /// The running layout with "Name (Modus)" (the mode translated), or the idle layout.
    void ShowActive(bool active, const QString& name, const std::string& mode);
    /// The idle texts; kept, but not shown, while a run is active.
    void ShowNextTask(const NextTaskView& next);
    /// The run's progress as last published.
    void ShowProgress(const ProgressSnapshot& progress);
    bool active() const { return m_active; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void showIdleTexts();
    /// The phase, folder, counters and bar of the progress last shown.
    void showProgressTexts();

    bool m_active = false;
    QString m_runName;
    std::string m_runMode;
    NextTaskView m_next;
    ProgressSnapshot m_progress;
    QLabel* m_title;
    QLabel* m_profile;
    QLabel* m_folder;
    QLabel* m_type;
    QLabel* m_dateTime;
    QLabel* m_dateTime2;
    QLabel* m_files2;
    QLabel* m_files;
    QLabel* m_size;
    ElidedLabel* m_folder2;
    QProgressBar* m_bar;
};
