// The folder tree opening a folder with 20,000 subfolders, offscreen: how long until the children
// are shown, and the longest time the event loop was held meanwhile (a 5 ms timer measuring its
// own lateness). Figures are printed against their limits; the program fails only when the folder
// never loaded.

#include "StallMeter.h"
#include "components/EDirTree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr int Folders = 20000;
constexpr double ShowLimitMs = 300;
constexpr double StallLimitMs = 50;

std::filesystem::path wideFolder()
{
    const std::filesystem::path folder = std::filesystem::path(TRESORIO_BENCH_WORK) / "controls-wide";
    const std::filesystem::path done = std::filesystem::path(TRESORIO_BENCH_WORK) / "controls-wide.complete";
    if (!std::filesystem::exists(done)) {
        std::filesystem::remove_all(folder);
        for (int i = 0; i < Folders; ++i)
            std::filesystem::create_directories(folder / ("ordner-" + std::to_string(i)));
        std::ofstream(done) << Folders << '\n';
    }
    return folder;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::filesystem::path folder = wideFolder();
    std::vector<double> shown;
    std::vector<double> stalls;
    for (int run = 0; run < 5; ++run) {
        EDirTree tree({{QStringLiteral("Weit"), folder.string(), MediumKind::Fixed}});
        tree.resize(400, 600);
        tree.show();
        QApplication::processEvents();
        QTreeWidgetItem* root = tree.topLevelItem(0)->child(0)->child(0);
        bool loaded = false;
        QObject::connect(&tree, &EDirTree::folderLoaded, &tree, [&] { loaded = true; });
        StallMeter stall;
        QElapsedTimer clock;
        clock.start();
        root->setExpanded(true);
        while (!loaded && clock.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QApplication::processEvents(); // the children painted
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!loaded || root->childCount() != Folders) {
            std::fprintf(stderr, "bench_controls: the folder was not loaded (%d children)\n", root->childCount());
            return 1;
        }
        shown.push_back(ms);
        stalls.push_back(stall.longestMs());
    }
    std::sort(shown.begin(), shown.end());
    std::sort(stalls.begin(), stalls.end());
    std::printf("Folder tree, a folder with %d subfolders, median of %zu (worst):\n", Folders, shown.size());
    ReportFigure("  opened until its children are shown", shown[shown.size() / 2], ShowLimitMs);
    ReportFigure("  longest stall of the event loop meanwhile", stalls[stalls.size() / 2], StallLimitMs);
    std::printf("  worst of the runs: shown %.1f ms, stall %.1f ms\n", shown.back(), stalls.back());
    return 0;
}
