#include "ui/WindowsProgram.h"

#include "platform/Native.h"
#include "ui/GuiFrontEnd.h"
#include "ui/Icons.h"
#include "ui/SplashScreen.h"

#include <QApplication>

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
    const int status = QApplication::exec();
    frontEnd.Close();
    return status;
}
