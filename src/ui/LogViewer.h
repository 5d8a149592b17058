#pragma once

#include "log/EditedLog.h"

#include <QDialog>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

class Dialogs;
class QAction;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QStatusBar;

/// "Kestrova Backup - Protokoll": Backup.log in an editable text, with search, the next error
/// report, save as, print and delete. The window holds its own copy; reports that runs append
/// meanwhile go to the file, and saving back keeps them (they are appended to the saved text).
/// A large log is read in the background: the newest reports show at once, the older ones are
/// put in front of them piece by piece, so the window never waits for the whole file.
class LogViewer final : public QDialog
{
    Q_OBJECT

public:
    /// deleteLog asks and deletes the file; whether it did.
    LogViewer(std::filesystem::path logPath, Dialogs& boxes, std::function<bool()> deleteLog,
              QWidget* parent = nullptr);
    ~LogViewer() override;
    Q_DISABLE_COPY_MOVE(LogViewer)

    /// "Suchen": the next place of the search term after the last hit, case ignored; false when
    /// there is none (nothing more is selected then).
    bool Search();
    /// The next report line that begins with "!!!" after the caret; false when there is none.
    bool NextError();
    /// Writes the text to a file (save as) and makes it the file the closing question writes.
    bool SaveTo(const std::filesystem::path& file);
    void Print(QPrinter& printer);
    /// "Löschen der Protokoll-Datei".
    void DeleteLog();
    /// Shows the newest place of a report (its lines, as they went into the log) at the top, with
    /// the caret at its start, once it is loaded; the end of the log when the report is no longer
    /// there (trimmed away, edited). Whether it was found, once known.
    void ShowReport(const QString& report);
    bool reportFound() const { return m_reportFound; }

    bool loaded() const { return m_loaded; }
    bool logModified() const { return m_modified; }
    const std::filesystem::path& savePath() const { return m_savePath; }
    QPlainTextEdit* text() const { return RichEdit1; }
    QLineEdit* searchField() const { return Edit1; }

    /// Replace the save and print dialogs (tests): the chosen file or nothing; whether to print.
    static std::function<std::optional<QString>()>& saveFileChooser();
    static std::function<bool(QPrinter&)>& printSetup();

    QAction* ACProtokollSuchen;
    QAction* ACNextError;
    QAction* ACProtokollSpeichern;
    QAction* ACProtokollDrucken;
    QAction* ACProtokollDelete2;

signals:
    /// The whole log is in the window.
    void loadFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void startLoading();
    void showNewest(QString text);
    void received(QString older, LogBaseline read);
    void prependNext();
    void showError(const QString& message);
    /// The text as one string, kept until the next change (searching a large log stays fast).
    const QString& plainText();
    void select(qsizetype start, qsizetype length);
    void markErrors();
    /// Looks for the report to show in what is loaded; whether it was found.
    bool findReport();
    /// Whether the window may close: a changed text is saved on request.
    bool confirmClose();
    /// The text to write to the log: the window's text with the reports added since it was read.
    std::optional<std::string> contentForLog();

    std::filesystem::path m_logPath;
    std::filesystem::path m_savePath;
    Dialogs& m_boxes;
    std::function<bool()> m_deleteLog;
    QPlainTextEdit* RichEdit1;
    QLineEdit* Edit1;
    QStatusBar* StatusBar1;
    QString m_pending; // older text still to be put in front
    QString m_cache;
    bool m_cacheValid = false;
    bool m_loading = false;
    bool m_loaded = false;
    QString m_reportToShow; // until it is found, or the whole log was looked at
    bool m_reportFound = false;
    bool m_modified = false;
    bool m_closing = false;
    qsizetype m_searchPosition = 0;
    std::vector<int> m_marked; // where the marked error lines start
    LogBaseline m_read;        // what was read from the file, to recognise reports appended since
};
