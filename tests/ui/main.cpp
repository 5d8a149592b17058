// The widget tests run offscreen, with a home of their own: the program's autostart entry,
// desktop folders and runtime folder never touch the real ones of whoever runs them, and a
// session bus of their own, on which no notification service answers unless a test starts one. A message
// box that no test answers fails the test that opened it and is closed, instead of waiting for a
// click until the time limit ends the whole run.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    const std::string home =
        (std::filesystem::temp_directory_path() / ("tresorio-ui-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(home + "/run");
    std::filesystem::permissions(home + "/run", std::filesystem::perms::owner_all);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home + "/run").c_str(), 1);
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + home + "/kein-systembus").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QProcess sessionBus;
    sessionBus.start("dbus-daemon",
                     {"--session", "--nofork", "--nopidfile",
                      QString::fromStdString("--address=unix:path=" + home + "/run/bus"), "--print-address=1"});
    if (sessionBus.waitForReadyRead(10000))
        setenv("DBUS_SESSION_BUS_ADDRESS", sessionBus.readLine().trimmed().constData(), 1);
    else
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + home + "/kein-sitzungsbus").c_str(), 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    QTimer watchdog;
    QPointer<QMessageBox> waiting;
    QObject::connect(&watchdog, &QTimer::timeout, [&waiting] {
        QMessageBox* shown = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                shown = box;
        if (shown && shown == waiting) {
            ADD_FAILURE() << "a message box nobody answered: " << shown->text().toStdString();
            shown->reject();
            shown = nullptr;
        }
        waiting = shown;
    });
    watchdog.start(1000);
    const int status = RUN_ALL_TESTS();
    sessionBus.kill();
    sessionBus.waitForFinished();
    std::error_code error;
    std::filesystem::remove_all(home, error);
    return status;
}
