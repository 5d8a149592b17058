// How the windows keep up, offscreen, over real programs on data folders of their own:
//
//   - the longest stall of the event loop while a full backup of 200,000 small files runs with
//     the main window shown (a 5 ms timer measures its own lateness);
//   - the start-up to the tray with 500 profiles, up to the first pass of the event loop;
//   - refreshing the list of 500 profiles in the details view, painting included.
//
// Each figure is printed with its limit. The program only reports: a figure over its limit does
// not fail `make bench`; a set-up that cannot measure at all does.

#include "app/DataFolder.h"
#include "app/Program.h"
#include "platform/Native.h"
#include "profiles/ProfileFile.h"
#include "profiles/ProfileText.h"
#include "ui/GuiFrontEnd.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int SourceFolders = 200;
constexpr int FilesPerFolder = 1000;
constexpr int SourceFiles = SourceFolders * FilesPerFolder;
constexpr int ListProfiles = 500;
constexpr int StallTimerMs = 5;

// A stall a person notices; a start-up that feels immediate; one frame at 60 Hz.
constexpr double StallLimitMs = 50;
constexpr double StartLimitMs = 500;
constexpr double RefreshLimitMs = 16;

void report(const char* what, double ms, double limitMs)
{
    std::printf("%-44s %8.2f ms   limit %4.0f ms   %s\n", what, ms, limitMs, ms <= limitMs ? "PASS" : "OVER");
    std::fflush(stdout);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msOf(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

/// Handles events for a while without spinning: a short timer wakes the loop.
void settle(int ms)
{
    QTimer wake;
    wake.start(StallTimerMs);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

/// The source tree of the large run, made once and kept: writing 200,000 files takes longer
/// than copying them, and the run only reads them.
fs::path sourceTree(const fs::path& work)
{
    const fs::path root = work / "ui-source";
    // Beside the tree, not in it: the run copies every file of the tree.
    const fs::path complete = work / "ui-source.complete";
    if (fs::exists(complete))
        return root;
    std::printf("making %d files under %s\n", SourceFiles, root.c_str());
    std::fflush(stdout);
    fs::remove_all(root);
    for (int folder = 0; folder < SourceFolders; ++folder) {
        const fs::path dir = root / ("ordner" + std::to_string(folder));
        fs::create_directories(dir);
        for (int file = 0; file < FilesPerFolder; ++file)
            std::ofstream(dir / ("datei" + std::to_string(file) + ".txt"), std::ios::binary) << "sechzehn Bytes.\n";
    }
    // Written last: a tree cut short by an interruption is made again.
    std::ofstream(complete) << SourceFiles << '\n';
    return root;
}

/// Profiles as a long list holds them: daily, weekly and on request, some compressing, some
/// with errors from their last run.
ProfileList listProfiles()
{
    ProfileList list;
    for (int i = 0; i < ListProfiles; ++i) {
        TProfile p = DefaultProfile({});
        p.Name = "Profil " + std::to_string(i + 1);
        p.Source = {"/home/anna/Dokumente/", "/home/anna/Projekte/" + std::to_string(i) + "/"};
        p.Withsub = true;
        p.Destination = "/media/sicherung/" + p.Name + "/";
        p.LastRun = *TryEncodeDate(2024, 5, 1 + i % 28) + *TryEncodeTime(8, i % 60);
        switch (i % 3) {
        case 0:
            p.Period = PeriodDaily;
            p.RunTime = "08:00";
            p.DayOfWeek = {true, true, true, true, true, true, true};
            p.Backuptype = BackupIncremental;
            break;
        case 1:
            p.Period = PeriodWeekly;
            p.Weeks = 1;
            p.Day = static_cast<std::uint8_t>(i % 7);
            p.Weektime = "18:30";
            p.Backuptype = BackupFull;
            break;
        default:
            p.Period = PeriodNotPeriodic;
            p.Backuptype = BackupDifferential;
            break;
        }
        if (i % 4 == 1) {
            p.Compress = true;
            p.Zipfile = "sicherung.zip";
            p.FilesCompressed = 42;
        }
        if (i % 10 == 7)
            p.Errors = 3;
        p.FilesCount = 1000 + i;
        p.FilesSize = 1000000 + i;
        list.AddToProfile(std::move(p));
    }
    return list;
}

void writeProfiles(const fs::path& data, const ProfileList& list)
{
    fs::create_directories(data);
    if (const auto failure = ProfileFile(data / ProfileFileName).SaveProfiles(list))
        throw std::runtime_error(*failure);
}

/// The program with its windows over a data folder, started as the tray starts it.
class Session
{
public:
    explicit Session(const fs::path& data)
        : m_platform(MakeNativePlatform(data)), m_fs(MakeNativeFileSystem()),
          m_frontEnd(std::make_unique<GuiFrontEnd>()),
          // A long tick: the scheduler starts no run of its own while something is measured.
          m_program(
              std::make_unique<Program>(ProgramOptions{data, std::nullopt, 3600000}, *m_platform, *m_fs, *m_frontEnd))
    {
        if (m_program->Start())
            throw std::runtime_error("the program does not start on " + data.string());
        // A run's error count would wait in a message box for a click nobody gives.
        m_program->settings().ShowError = false;
        m_frontEnd->Open(*m_program, GuiFrontEnd::Tray::Always);
    }
    ~Session()
    {
        m_program->Stop(true);
        m_frontEnd->Close();
        m_program.reset();
        // Stop's queued end of the event loop is handled here, where no loop is left to end.
        QCoreApplication::processEvents();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Program& program() { return *m_program; }
    MainWindow& window() { return *m_frontEnd->window(); }

    void show(int width, int height)
    {
        window().resize(width, height);
        window().show();
        settle(200);
    }

private:
    std::unique_ptr<Platform> m_platform;
    std::unique_ptr<FileSystem> m_fs;
    std::unique_ptr<GuiFrontEnd> m_frontEnd;
    std::unique_ptr<Program> m_program;
};

std::int64_t filesBelow(const fs::path& root)
{
    std::int64_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

void largeRun(const fs::path& work, const fs::path& temp)
{
    const fs::path source = sourceTree(work);
    const fs::path data = temp / "run-data";
    const fs::path destination = temp / "run-dest";
    TProfile profile = DefaultProfile({});
    profile.Name = "Groß";
    profile.Source = {source.string() + "/"};
    profile.Withsub = true;
    profile.Destination = destination.string() + "/";
    profile.Backuptype = BackupFull;
    profile.Period = PeriodNotPeriodic;
    profile.Generations = 1;
    ProfileList list;
    list.AddToProfile(profile);
    writeProfiles(data, list);

    Session session(data);
    session.show(1024, 768);
    Program& program = session.program();

    // The timer measures how late it comes: whatever holds the main thread (the run's start and
    // end, the progress shown ten times a second) delays it by that long.
    double longestStall = 0;
    bool started = false;
    QElapsedTimer run;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(StallTimerMs);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, msOf(sinceTick) - StallTimerMs);
        sinceTick.start();
    });
    QTimer::singleShot(0, [&] {
        run.start();
        program.RunNow(0);
        started = true;
    });
    sinceTick.start();
    probe.start();
    // Waiting for events, not spinning: the worker has the other core to itself.
    while (!started || program.RunActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double runMs = msOf(run);
    // The run's end is told on the main thread; the next tick shows how long that held it.
    settle(50);
    probe.stop();

    const std::int64_t copied = fs::exists(destination) ? filesBelow(destination) : 0;
    const std::int64_t counted = program.profiles().at(0).FilesCount;
    std::printf("run of %d files: %.1f s, %.0f files/s; %lld files at the destination, %lld in the profile\n",
                SourceFiles, runMs / 1000, SourceFiles / (runMs / 1000), static_cast<long long>(copied),
                static_cast<long long>(counted));
    std::fflush(stdout);
    if (copied != SourceFiles || counted != SourceFiles) {
        // The data folder goes with the other temporary ones: its log says why, here.
        std::ifstream log(data / "Backup.log");
        throw std::runtime_error("the run did not copy every file; its log:\n" +
                                 std::string(std::istreambuf_iterator<char>(log), {}));
    }
    report("longest stall of the window during the run", longestStall, StallLimitMs);
}

void startUp(const fs::path& data)
{
    constexpr int Repetitions = 7;
    std::vector<double> times;
    for (int i = 0; i < Repetitions; ++i) {
        // From before the platform and the front end are made, as the program's own start makes them.
        QElapsedTimer timer;
        timer.start();
        Session session(data);
        QCoreApplication::processEvents();
        times.push_back(msOf(timer));
    }
    std::printf("start-up to the tray with %d profiles: first %.1f ms\n", ListProfiles, times.front());
    report("start-up to the tray (median of 7)", median(times), StartLimitMs);
}

/// Counts the paintings of a widget, to show that a refresh did paint.
class PaintCounter final : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

void listRefresh(const fs::path& data)
{
    constexpr int Refreshes = 200;
    Session session(data);
    MainWindow& window = session.window();
    window.setViewStyle(3);
    session.show(1024, 768);
    PaintCounter paints;
    window.detailView()->viewport()->installEventFilter(&paints);
    std::vector<double> times;
    for (int i = 0; i < Refreshes; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.UpdateProfileList();
        QApplication::processEvents();
        times.push_back(msOf(timer));
    }
    window.detailView()->viewport()->removeEventFilter(&paints);
    std::printf("list of %d profiles refreshed %d times, the rows painted %d times; first %.1f ms\n", ListProfiles,
                Refreshes, paints.count, times.front());
    if (paints.count < Refreshes)
        throw std::runtime_error("the refreshes were not painted");
    report("list refresh, details view (median)", median(times), RefreshLimitMs);
    report("list refresh, details view (worst)", *std::max_element(times.begin(), times.end()), RefreshLimitMs);
}

} // namespace

int main(int argc, char** argv)
{
    // Everything under the build folder's work area: the program's autostart entry, desktop
    // folders and runtime folder never touch the real ones of whoever runs this.
    const fs::path work = TRESORIO_BENCH_WORK;
    const fs::path temp = work / ("ui-" + std::to_string(getpid()));
    const fs::path home = temp / "home";
    fs::create_directories(home / "run");
    fs::permissions(home / "run", fs::perms::owner_all);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (home / "kein-systembus").string()).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    int status = 0;
    try {
        const fs::path listData = temp / "list-data";
        writeProfiles(listData, listProfiles());
        startUp(listData);
        listRefresh(listData);
        largeRun(work, temp);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_ui: %s\n", error.what());
        status = 1;
    }
    std::error_code ignored;
    fs::remove_all(temp, ignored);
    return status;
}
