#include "ui/WindowsProgram.h"

#include "platform/Native.h"
#include "ui/GuiFrontEnd.h"
#include "ui/Icons.h"
#include "ui/SplashScreen.h"

#include <QApplication>
#include <QSessionManager>

int RunWithWindows(int argc, char** argv, const ProgramOptions& options, Platform& platform)
{
    QApplication app(argc, argv);
    // The program lives in the notification area: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Tresorio"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrova Tresorio"));
    QApplication::setDesktopFileName(QStringLiteral("tresorio"));
    QApplication::setWindowIcon(ProgramIcon());

    std::unique_ptr<SplashScreen> splash;
    if (!options.profileName) {
        splash = std::make_unique<SplashScreen>();
        splash->ShowForAWhile();
        QApplication::processEvents();
    }
    const std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
    GuiFrontEnd frontEnd;
    Program program(options, platform, *fs, frontEnd);
    program.HearEndRequests();
    if (const auto status = program.Start())
        return *status;
    frontEnd.Open(program);
    // The end of the desktop session ends the program as "Schließen und Beenden" does: asked by
    // the session manager, or when the display goes away (the toolkit then ends the process).
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [&program](QSessionManager& manager) {
        // The session starts Tresorio again through its autostart entry, not as a restored program.
        manager.setRestartHint(QSessionManager::RestartNever);
        program.ToldToEnd(false);
    });
    platform.WhenExitedUnexpectedly([&program] { program.EndWithoutDisplay(); });
    const int status = QApplication::exec();
    platform.WhenExitedUnexpectedly(nullptr);
    frontEnd.Close();
    return status;
}
