// The log viewer over a log of 50 MB, offscreen: how long until the newest report is shown, how
// long until the whole log is in the window, the longest time the event loop was held meanwhile
// (a 5 ms timer measuring its own lateness), and the time per hit when searching through it.
// Figures are printed against their limits; the program fails only when the log never arrived.

#include "StallMeter.h"
#include "ui/LogViewer.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr std::uint64_t LogBytes = 50ull << 20;
constexpr double NewestLimitMs = 1000;
constexpr double StallLimitMs = 50;
constexpr double SearchLimitMs = 500;

std::filesystem::path bigLog()
{
    const std::filesystem::path file = std::filesystem::path(TRESORIO_BENCH_WORK) / "viewer" / "Backup.log";
    if (std::filesystem::exists(file) && std::filesystem::file_size(file) >= LogBytes)
        return file;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    std::uint64_t written = 0;
    for (int report = 0; written < LogBytes; ++report) {
        std::string text = "============================================================\r\nProfil                : "
                           "Tagesordner " +
                           std::to_string(report % 7) + "\r\nBeginn                : 01.12.2026 08:00:00\r\n";
        for (int line = 0; line < 40; ++line)
            text += "/home/anna/Dokumente/Projekt " + std::to_string(line) + "/Bericht " + std::to_string(report) +
                    ".odt\r\n";
        if (report % 50 == 0)
            text += "!!! Datei /home/anna/Dokumente/gesperrt.odt nicht lesbar\r\n";
        text += "Dateien gesichert     : 40\r\n";
        out << text;
        written += text.size();
    }
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::filesystem::path log = bigLog();
    MessageBoxes boxes;
    std::vector<double> newest, whole, stalls, searches;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        clock.start();
        LogViewer viewer(log, boxes, [] { return false; });
        viewer.show();
        StallMeter stall;
        double shownAt = -1;
        while (!viewer.loaded() && clock.elapsed() < 120000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            if (shownAt < 0 && viewer.text()->document()->lastBlock().previous().text() ==
                                   QStringLiteral("Dateien gesichert     : 40"))
                shownAt = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        }
        stall.stop();
        if (!viewer.loaded()) {
            std::fprintf(stderr, "bench_log_viewer: the log never arrived\n");
            return 1;
        }
        whole.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        newest.push_back(shownAt);
        stalls.push_back(stall.longestMs());
        // Searching from the start for a term whose hits lie about a megabyte apart.
        viewer.searchField()->setText(QStringLiteral("gesperrt.odt"));
        viewer.text()->moveCursor(QTextCursor::Start);
        int hits = 0;
        QElapsedTimer searching;
        searching.start();
        while (hits < 20 && viewer.Search())
            ++hits;
        searches.push_back(static_cast<double>(searching.nsecsElapsed()) / 1e6 / std::max(hits, 1));
    }
    for (auto* figures : {&newest, &whole, &stalls, &searches})
        std::sort(figures->begin(), figures->end());
    std::printf("Log viewer, a log of %llu MB, median of %zu:\n", static_cast<unsigned long long>(LogBytes >> 20),
                newest.size());
    ReportFigure("  opened until the newest report is shown", newest[newest.size() / 2], NewestLimitMs);
    ReportFigure("  longest stall of the event loop while the rest loads", stalls[stalls.size() / 2], StallLimitMs);
    ReportFigure("  search, time per hit (the first pays for the text copy)", searches[searches.size() / 2],
                 SearchLimitMs);
    std::printf("  the whole log in the window after %.0f ms\n", whole[whole.size() / 2]);
    return 0;
}
