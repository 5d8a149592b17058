#include "ui/LogViewer.h"

#include "app/Dialogs.h"
#include "log/EditedLog.h"
#include "platform/AtomicFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <thread>

namespace {

// The newest part shown at once, and the size of each older piece put in front of it: small
// enough that the window answers between two pieces.
constexpr qsizetype FirstPiece = 256 * 1024;
constexpr qsizetype LaterPiece = 128 * 1024;

/// The window's text as the log keeps it: UTF-8 with CR LF.
std::string FileText(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return lines.toStdString();
}

} // namespace

std::function<std::optional<QString>()>& LogViewer::saveFileChooser()
{
    static std::function<std::optional<QString>()> chooser;
    return chooser;
}

std::function<bool(QPrinter&)>& LogViewer::printSetup()
{
    static std::function<bool(QPrinter&)> setup;
    return setup;
}

LogViewer::LogViewer(std::filesystem::path logPath, Dialogs& boxes, std::function<bool()> deleteLog, QWidget* parent)
    : QDialog(parent), m_logPath(std::move(logPath)), m_savePath(m_logPath), m_boxes(boxes),
      m_deleteLog(std::move(deleteLog)), RichEdit1(new QPlainTextEdit(this)), Edit1(new QLineEdit(this)),
      StatusBar1(new QStatusBar(this))
{
    setObjectName(QStringLiteral("TFMLog"));
    setWindowTitle(tr("Kestrova Backup - Protokoll"));
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // A hit stays marked while the search term is typed.
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    RichEdit1->setPalette(palette);
    Edit1->setToolTip(tr("Geben Sie hier einen Suchbegriff ein um im Protokoll zu suchen"));
    Edit1->setPlaceholderText(tr("Suchbegriff"));
    Edit1->setClearButtonEnabled(true);
    Edit1->setMaximumWidth(260);

    auto* tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools->addWidget(Edit1);
    ACProtokollSuchen = tools->addAction(tr("Suchen"), this, &LogViewer::Search);
    ACProtokollSuchen->setToolTip(tr("Begriff in Protokolldatei suchen"));
    ACNextError = tools->addAction(tr("Nächster Fehler"), this, &LogViewer::NextError);
    ACNextError->setToolTip(tr("Zur nächsten Fehlermeldung (!!!) springen"));
    ACNextError->setShortcut(Qt::Key_F8);
    tools->addSeparator();
    ACProtokollSpeichern = tools->addAction(tr("Speichern..."), this, [this] {
        std::optional<QString> file;
        if (saveFileChooser()) {
            file = saveFileChooser()();
        } else {
            QFileDialog dialog(this, tr("Protokoll speichern unter"));
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setNameFilters({tr("Textdateien (*.txt)"), tr("Alle Dateien (*)")});
            dialog.setDefaultSuffix(QStringLiteral("txt"));
            if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
                file = dialog.selectedFiles().front();
        }
        if (file && !file->isEmpty())
            SaveTo(file->toStdString());
    });
    ACProtokollSpeichern->setToolTip(tr("Speichern der Protokoll-Datei"));
    ACProtokollDrucken = tools->addAction(tr("Drucken..."), this, [this] {
        QPrinter printer;
        const bool go = printSetup() ? printSetup()(printer) : QPrintDialog(&printer, this).exec() == QDialog::Accepted;
        if (go)
            Print(printer);
    });
    ACProtokollDrucken->setToolTip(tr("Drucken der Protokoll-Datei"));
    ACProtokollDelete2 = tools->addAction(tr("Löschen..."), this, &LogViewer::DeleteLog);
    ACProtokollDelete2->setToolTip(tr("Löschen der Protokoll-Datei"));
    connect(Edit1, &QLineEdit::returnPressed, ACProtokollSuchen, &QAction::trigger);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(RichEdit1, 1);
    layout->addWidget(StatusBar1);

    connect(Edit1, &QLineEdit::textChanged, this, [this] { m_searchPosition = 0; });
    connect(RichEdit1->document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (removed == 0 && added == 0)
            return;
        m_cacheValid = false;
        if (!m_loading)
            m_modified = true;
    });
    connect(RichEdit1, &QPlainTextEdit::updateRequest, this, &LogViewer::markErrors);
    resize(820, 560);
    startLoading();
}

LogViewer::~LogViewer()
{
    // The text goes after this window: its last signals must not reach a half-destroyed viewer.
    RichEdit1->disconnect(this);
    RichEdit1->document()->disconnect(this);
}

void LogViewer::startLoading()
{
    m_loading = true;
    RichEdit1->setUndoRedoEnabled(false);
    for (QAction* action : {ACProtokollSuchen, ACNextError, ACProtokollSpeichern, ACProtokollDrucken})
        action->setEnabled(false);
    StatusBar1->showMessage(tr("Protokoll wird geladen…"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The file is read and decoded beside the window; a large log never holds it. The newest
    // part comes first, so that the window shows it while the rest is still being decoded.
    QPointer<LogViewer> self(this);
    std::thread([self, path = m_logPath] {
        const std::string bytes = ReadWholeLog(path).value_or(std::string());
        std::size_t cut = 0;
        if (bytes.size() > 2 * static_cast<std::size_t>(FirstPiece)) {
            const std::size_t newline = bytes.find('\n', bytes.size() - static_cast<std::size_t>(FirstPiece));
            cut = newline == std::string::npos ? 0 : newline + 1;
        }
        const auto decode = [&bytes](std::size_t from, std::size_t length) {
            QString text = QString::fromUtf8(bytes.data() + from, static_cast<qsizetype>(length));
            text.remove(QLatin1Char('\r'));
            return text;
        };
        QMetaObject::invokeMethod(qApp, [self, newest = decode(cut, bytes.size() - cut)]() mutable {
            if (self)
                self->showNewest(std::move(newest));
        });
        QMetaObject::invokeMethod(qApp, [self, older = decode(0, cut), read = LogBaseline::Of(bytes)]() mutable {
            if (self)
                self->received(std::move(older), read);
        });
    }).detach();
}

void LogViewer::showNewest(QString text)
{
    RichEdit1->setPlainText(text);
    // Opened at the newest report, nothing selected.
    RichEdit1->moveCursor(QTextCursor::End);
    RichEdit1->ensureCursorVisible();
    findReport();
    QApplication::restoreOverrideCursor();
}

void LogViewer::ShowReport(const QString& report)
{
    m_reportToShow = report;
    m_reportFound = false;
    if (!RichEdit1->document()->isEmpty())
        findReport();
}

bool LogViewer::findReport()
{
    if (m_reportToShow.isEmpty())
        return false;
    const qsizetype at = RichEdit1->toPlainText().lastIndexOf(m_reportToShow);
    if (at < 0)
        return false;
    m_reportToShow.clear();
    m_reportFound = true;
    // From the end back to the report: it comes to the top of the view.
    RichEdit1->moveCursor(QTextCursor::End);
    QTextCursor start(RichEdit1->document());
    start.setPosition(static_cast<int>(at));
    RichEdit1->setTextCursor(start);
    RichEdit1->ensureCursorVisible();
    return true;
}

void LogViewer::received(QString older, LogBaseline read)
{
    m_read = read;
    m_pending = std::move(older);
    prependNext();
}

void LogViewer::prependNext()
{
    if (m_pending.isEmpty()) {
        m_loading = false;
        m_loaded = true;
        RichEdit1->setUndoRedoEnabled(true);
        for (QAction* action : {ACProtokollSuchen, ACNextError, ACProtokollSpeichern, ACProtokollDrucken})
            action->setEnabled(true);
        StatusBar1->showMessage(tr("%n Zeile(n)", nullptr, RichEdit1->document()->blockCount()));
        // Not among the newest reports: maybe among the older ones; else the view stays at the end.
        findReport();
        m_reportToShow.clear();
        emit loadFinished();
        return;
    }
    qsizetype from = 0;
    if (m_pending.size() > LaterPiece)
        from = m_pending.lastIndexOf(QLatin1Char('\n'), m_pending.size() - LaterPiece) + 1;
    const QString piece = m_pending.mid(from);
    m_pending.truncate(from);
    // The view stays where the user looks: the same distance from the end.
    QScrollBar* bar = RichEdit1->verticalScrollBar();
    const int fromBottom = bar->maximum() - bar->value();
    QTextCursor front(RichEdit1->document());
    front.movePosition(QTextCursor::Start);
    front.insertText(piece);
    bar->setValue(bar->maximum() - fromBottom);
    QTimer::singleShot(0, this, &LogViewer::prependNext);
}

const QString& LogViewer::plainText()
{
    if (!m_cacheValid) {
        m_cache = RichEdit1->toPlainText();
        m_cacheValid = true;
    }
    return m_cache;
}

void LogViewer::select(qsizetype start, qsizetype length)
{
    QTextCursor cursor(RichEdit1->document());
    cursor.setPosition(static_cast<int>(start));
    cursor.setPosition(static_cast<int>(start + length), QTextCursor::KeepAnchor);
    RichEdit1->setTextCursor(cursor);
    RichEdit1->ensureCursorVisible();
}

bool LogViewer::Search()
{
    const QString term = Edit1->text();
    if (term.isEmpty() || !m_loaded)
        return false;
    const qsizetype found = plainText().indexOf(term, m_searchPosition, Qt::CaseInsensitive);
    if (found < 0) {
        // The next search starts from the beginning again.
        QTextCursor cursor = RichEdit1->textCursor();
        cursor.clearSelection();
        RichEdit1->setTextCursor(cursor);
        m_searchPosition = 0;
        StatusBar1->showMessage(tr("\"%1\" nicht weiter gefunden; die nächste Suche beginnt am Anfang.").arg(term));
        return false;
    }
    select(found, term.size());
    m_searchPosition = found + term.size();
    StatusBar1->clearMessage();
    return true;
}

bool LogViewer::NextError()
{
    if (!m_loaded)
        return false;
    const QString& text = plainText();
    const QTextBlock current = RichEdit1->textCursor().block();
    const qsizetype after = current.position() + current.length() - 1; // the line break ending it
    qsizetype start = -1;
    if (RichEdit1->textCursor().position() == 0 && !RichEdit1->textCursor().hasSelection() &&
        text.startsWith(QStringLiteral("!!!")))
        start = 0;
    else if (const qsizetype found = text.indexOf(QStringLiteral("\n!!!"), after); found >= 0)
        start = found + 1;
    if (start < 0) {
        StatusBar1->showMessage(tr("Keine weitere Fehlermeldung."));
        return false;
    }
    qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    if (end < 0)
        end = text.size();
    select(start, end - start);
    StatusBar1->clearMessage();
    return true;
}

void LogViewer::markErrors()
{
    // Only the lines on screen are looked at: a log of many megabytes costs nothing more.
    QTextBlock block = RichEdit1->cursorForPosition(QPoint(0, 0)).block();
    const QTextBlock last = RichEdit1->cursorForPosition(QPoint(0, RichEdit1->viewport()->height())).block();
    QList<QTextEdit::ExtraSelection> marks;
    while (block.isValid()) {
        if (block.text().startsWith(QStringLiteral("!!!"))) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(block);
            mark.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            mark.format.setForeground(QColor(0xa0, 0x00, 0x00));
            mark.format.setFontWeight(QFont::Bold);
            marks << mark;
        }
        if (block == last)
            break;
        block = block.next();
    }
    std::vector<int> starts;
    for (const QTextEdit::ExtraSelection& mark : marks)
        starts.push_back(mark.cursor.anchor());
    // Setting the marks asks for a repaint, which asks for the marks again: only a change is set.
    if (starts == m_marked)
        return;
    m_marked = std::move(starts);
    RichEdit1->setExtraSelections(marks);
}

std::optional<std::string> LogViewer::contentForLog()
{
    std::string ours = FileText(m_pending + RichEdit1->toPlainText());
    // Read once: what is compared is what is kept, even while a run appends.
    const std::optional<std::string> now = ReadWholeLog(m_logPath);
    if (!now)
        return ours;
    const LogSince since = CompareLog(*now, m_read);
    if (since.kind == LogSince::Unchanged)
        return ours;
    if (since.kind == LogSince::Grown) {
        // Runs appended their reports since the log was read: they stay, after the window's text.
        QString shown = QString::fromUtf8(since.added);
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const bool modified = m_modified;
        QTextCursor end(RichEdit1->document());
        end.movePosition(QTextCursor::End);
        if (!RichEdit1->document()->isEmpty() && !RichEdit1->toPlainText().endsWith(QLatin1Char('\n')))
            end.insertText(QStringLiteral("\n"));
        end.insertText(shown);
        m_modified = modified;
        return WithAppendedReports(std::move(ours), since.added);
    }
    if (!m_boxes.AskConfirmation(tr("Das Protokoll wurde seit dem Öffnen verändert (gekürzt oder gelöscht). Soll "
                                    "Ihre Fassung es trotzdem ersetzen?")
                                     .toStdString()))
        return std::nullopt;
    return ours;
}

bool LogViewer::SaveTo(const std::filesystem::path& file)
{
    const bool log = std::filesystem::absolute(file) == std::filesystem::absolute(m_logPath);
    const std::optional<std::string> content = log ? contentForLog() : FileText(m_pending + RichEdit1->toPlainText());
    if (!content)
        return false;
    if (const auto failure = WriteFileAtomically(file, *content, false)) {
        showError(tr("Die Datei %1 konnte nicht geschrieben werden: %2")
                      .arg(QString::fromStdString(file.string()), QString::fromStdString(*failure)));
        return false;
    }
    if (log)
        m_read = LogBaseline::Of(*content);
    m_savePath = file;
    return true;
}

void LogViewer::Print(QPrinter& printer)
{
    printer.setDocName(tr("Kestrova Tresorio - Protokoll"));
    RichEdit1->print(&printer);
}

void LogViewer::DeleteLog()
{
    if (!m_deleteLog || !m_deleteLog())
        return;
    m_loading = true;
    m_pending.clear();
    RichEdit1->clear();
    m_loading = false;
    m_modified = false;
    m_read = LogBaseline::Of({});
}

void LogViewer::showError(const QString& message)
{
    m_boxes.ShowError(message.toStdString());
}

bool LogViewer::confirmClose()
{
    if (!m_modified)
        return true;
    if (!m_boxes.AskConfirmation(tr("Änderungen im Protokoll speichern?").toStdString()))
        return true;
    return SaveTo(m_savePath);
}

void LogViewer::done(int result)
{
    if (!m_closing) {
        if (!confirmClose())
            return;
        m_closing = true;
    }
    QDialog::done(result);
}

void LogViewer::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        if (!confirmClose()) {
            event->ignore();
            return;
        }
        m_closing = true;
    }
    QDialog::closeEvent(event);
}
