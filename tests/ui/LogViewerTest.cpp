// The log viewer over real log files in a temporary folder: search, the next error report, save
// as, print to PDF, delete, the question on closing, reports appended while it is open, and a log
// of several megabytes arriving in pieces.

#include "ui/LogViewer.h"

#include "log/LogFile.h"
#include "support/TempDir.h"
#include "ui/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTest>
#include <QTextBlock>
#include <fstream>
#include <gtest/gtest.h>

namespace {

std::string Read(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

bool WaitFor(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

const std::string Log = "============================================================\r\n"
                        "Profil                : Fotos\r\n"
                        "Ein Fehler hier\r\n"
                        "!!! Datei /a/b.txt nicht lesbar\r\n"
                        "noch ein FEHLER\r\n"
                        "============================================================\r\n"
                        "Profil                : Texte\r\n"
                        "!!! Ziel voll\r\n"
                        "fehlerfrei\r\n";

class LogViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageBoxes::clearAnswers();
        MessageBoxes::answeredTexts().clear();
        Write(m_log, Log);
    }
    void TearDown() override
    {
        LogViewer::saveFileChooser() = nullptr;
        LogViewer::printSetup() = nullptr;
        MessageBoxes::clearAnswers();
    }

    std::unique_ptr<LogViewer> open()
    {
        auto viewer = std::make_unique<LogViewer>(m_log, m_boxes, [this] {
            return LogFile(m_log).DelLogFile([this](const std::string& q) { return m_boxes.AskConfirmation(q); });
        });
        viewer->show();
        EXPECT_TRUE(WaitFor([&] { return viewer->loaded(); }));
        return viewer;
    }
    static QString selected(const LogViewer& viewer) { return viewer.text()->textCursor().selectedText(); }
    static void close(LogViewer& viewer, QMessageBox::StandardButton answer)
    {
        MessageBoxes::setNextAnswer(answer);
        viewer.reject();
    }

    TempDir m_temp;
    std::filesystem::path m_log = m_temp / "Backup.log";
    MessageBoxes m_boxes;
};

TEST_F(LogViewerTest, OpensAtTheNewestReportAndSearchesOnwardIgnoringCase)
{
    auto viewer = open();
    EXPECT_EQ(viewer->windowTitle(), "Kestrova Backup - Protokoll");
    EXPECT_EQ(viewer->text()->toPlainText(), QString::fromStdString(Log).replace("\r\n", "\n"));
    EXPECT_EQ(viewer->text()->textCursor().position(), viewer->text()->toPlainText().size());
    EXPECT_FALSE(viewer->text()->textCursor().hasSelection());

    QTest::keyClicks(viewer->searchField(), "fehler");
    std::vector<int> hits;
    while (viewer->Search()) {
        EXPECT_EQ(selected(*viewer).toLower(), "fehler");
        hits.push_back(viewer->text()->textCursor().selectionStart());
    }
    EXPECT_EQ(hits.size(), 3u); // "Fehler", "FEHLER", "fehlerfrei"
    EXPECT_FALSE(viewer->text()->textCursor().hasSelection());
    // After the last hit the next search starts at the beginning again.
    ASSERT_TRUE(viewer->Search());
    EXPECT_EQ(viewer->text()->textCursor().selectionStart(), hits.front());
    ASSERT_TRUE(viewer->Search());
    // A new term searches from the beginning.
    viewer->searchField()->setText("profil");
    ASSERT_TRUE(viewer->Search());
    EXPECT_EQ(viewer->text()->textCursor().selectionStart(), 61);
    EXPECT_FALSE(viewer->logModified());
}

TEST_F(LogViewerTest, JumpsFromErrorReportToErrorReportAndMarksThem)
{
    auto viewer = open();
    viewer->text()->moveCursor(QTextCursor::Start);
    ASSERT_TRUE(viewer->NextError());
    EXPECT_EQ(selected(*viewer), "!!! Datei /a/b.txt nicht lesbar");
    ASSERT_TRUE(viewer->NextError());
    EXPECT_EQ(selected(*viewer), "!!! Ziel voll");
    EXPECT_FALSE(viewer->NextError());
    QApplication::processEvents();
    const QList<QTextEdit::ExtraSelection> marks = viewer->text()->extraSelections();
    ASSERT_EQ(marks.size(), 2);
    EXPECT_EQ(marks[0].cursor.selectedText(), "!!! Datei /a/b.txt nicht lesbar");
    EXPECT_EQ(marks[0].format.foreground().color(), QColor(0xa0, 0x00, 0x00));
}

TEST_F(LogViewerTest, SaveAsPrintAndDelete)
{
    auto viewer = open();
    const std::filesystem::path copy = m_temp / "kopie.txt";
    LogViewer::saveFileChooser() = [] { return std::optional<QString>(); };
    viewer->ACProtokollSpeichern->trigger();
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(viewer->savePath(), m_log);
    LogViewer::saveFileChooser() = [&] { return std::optional(QString::fromStdString(copy.string())); };
    viewer->ACProtokollSpeichern->trigger();
    EXPECT_EQ(Read(copy), Log);
    EXPECT_EQ(viewer->savePath(), copy);

    const std::filesystem::path pdf = m_temp / "protokoll.pdf";
    LogViewer::printSetup() = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    };
    viewer->ACProtokollDrucken->trigger();
    EXPECT_EQ(Read(pdf).substr(0, 5), "%PDF-");

    // Declined: the file and the changed text stay, and closing still asks.
    viewer->text()->appendPlainText("eigene Notiz");
    MessageBoxes::setNextAnswer(QMessageBox::No);
    viewer->ACProtokollDelete2->trigger();
    EXPECT_EQ(MessageBoxes::answeredTexts().back(), "Protokolldatei löschen");
    EXPECT_TRUE(std::filesystem::exists(m_log));
    EXPECT_TRUE(viewer->logModified());
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    viewer->ACProtokollDelete2->trigger();
    EXPECT_FALSE(std::filesystem::exists(m_log));
    EXPECT_TRUE(viewer->text()->toPlainText().isEmpty());
    EXPECT_FALSE(viewer->logModified());
}

TEST_F(LogViewerTest, ClosingAsksAndKeepsReportsAppendedMeanwhile)
{
    auto viewer = open();
    viewer->text()->moveCursor(QTextCursor::Start);
    viewer->text()->insertPlainText("Notiz\n");
    // A run appends its report while the window is open.
    LogFile(m_log).AppendReport(
        {"============================================================", "Profil                : Neu", "fertig"},
        1 << 20);
    close(*viewer, QMessageBox::Yes);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_EQ(MessageBoxes::answeredTexts().back(), "Änderungen im Protokoll speichern?");
    const std::string saved = Read(m_log);
    EXPECT_EQ(saved.rfind("Notiz\r\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("Profil                : Neu\r\nfertig\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("!!! Ziel voll\r\n"), std::string::npos);

    // Not saved: the file stays as it is.
    auto again = open();
    again->text()->appendPlainText("verworfen");
    close(*again, QMessageBox::No);
    EXPECT_EQ(Read(m_log), saved);
}

TEST_F(LogViewerTest, ALogRewrittenMeanwhileIsReplacedOnlyWhenTheUserSaysSo)
{
    auto viewer = open();
    viewer->text()->appendPlainText("Notiz");
    Write(m_log, "gekürzt\r\n");
    MessageBoxes::setNextAnswer(QMessageBox::Yes); // save the changes?
    MessageBoxes::setNextAnswer(QMessageBox::No);  // replace the rewritten file?
    viewer->reject();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(Read(m_log), "gekürzt\r\n");
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    viewer->reject();
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_NE(Read(m_log).find("Notiz"), std::string::npos);
}

TEST_F(LogViewerTest, ALargeLogShowsItsNewestReportFirstAndArrivesWhole)
{
    std::string big;
    for (int report = 0; big.size() < 4'000'000; ++report)
        big += "============================================================\r\nProfil                : P" +
               std::to_string(report) + "\r\n" + std::string(200, 'x') + "\r\n";
    big += "!!! das Neueste\r\n";
    Write(m_log, big);
    LogViewer viewer(m_log, m_boxes, [] { return false; });
    viewer.show();
    ASSERT_TRUE(WaitFor([&] { return viewer.text()->toPlainText().endsWith("!!! das Neueste\n"); }));
    EXPECT_FALSE(viewer.loaded()); // the older reports are still on their way
    ASSERT_TRUE(WaitFor([&] { return viewer.loaded(); }));
    EXPECT_EQ(viewer.text()->toPlainText(), QString::fromStdString(big).replace("\r\n", "\n"));
    EXPECT_FALSE(viewer.logModified());
    // Still at the newest report.
    EXPECT_EQ(viewer.text()->textCursor().block().previous().text(), "!!! das Neueste");
}

} // namespace
