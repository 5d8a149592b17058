#include "ProgramProcess.h"

#include <QProcess>

QProcessEnvironment environmentFor(const std::filesystem::path& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("TRESORIO_HOME");
    // No windows: a test's program never appears on the desktop of whoever runs the tests.
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("HOME", QString::fromStdString(home.string()));
    env.insert("XDG_DATA_HOME", QString::fromStdString((home / "xdg-data").string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((home / "xdg-config").string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString((home / "run").string()));
    // Never the machine's own logind: a test that wants one starts its own bus.
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromStdString("unix:path=" + (home / "kein-systembus").string()));
    return env;
}

Outcome runTresorio(const QStringList& arguments, const std::filesystem::path& home, bool asNobody)
{
    const QStringList asUser = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    return runTresorioUnder(asNobody ? asUser : QStringList{}, arguments, home);
}

Outcome runTresorioUnder(const QStringList& wrapper, const QStringList& arguments, const std::filesystem::path& home)
{
    QProcess process;
    process.setProcessEnvironment(environmentFor(home));
    const QStringList line = wrapper + QStringList{TRESORIO_EXECUTABLE} + arguments;
    process.start(line.front(), line.mid(1));
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

QString q(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}
