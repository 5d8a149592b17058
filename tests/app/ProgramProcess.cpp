#include "ProgramProcess.h"

#include <QThread>

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

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        if (condition())
            return true;
        QThread::msleep(100);
    }
    return condition();
}

bool channelReady(const std::filesystem::path& home)
{
    // The running copy listens once its socket stands in the runtime folder.
    return waitFor([&home] {
        std::error_code error;
        return std::filesystem::exists(home / "run/tresorio", error) &&
               !std::filesystem::is_empty(home / "run/tresorio", error);
    });
}

RunningCopy::RunningCopy(const std::filesystem::path& home, const std::optional<std::filesystem::path>& data,
                         const QProcessEnvironment& extra, const QStringList& arguments)
{
    QProcessEnvironment environment = environmentFor(home);
    for (const QString& key : extra.keys())
        environment.insert(key, extra.value(key));
    m_process.setProcessEnvironment(environment);
    QStringList all = arguments;
    all << "--tick-ms"
        << "100";
    if (data)
        all << "--data-dir" << q(*data);
    m_process.start(TRESORIO_EXECUTABLE, all);
    m_process.waitForStarted();
}

RunningCopy::~RunningCopy()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

int RunningCopy::waitForExit(int timeoutMs)
{
    m_process.waitForFinished(timeoutMs);
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

bool RunningCopy::endsWithin(int timeoutMs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

FakeLogind::FakeLogind(const std::filesystem::path& folder)
{
    const QString address = "unix:path=" + q(folder / "system_bus_socket");
    m_bus.start("dbus-daemon", {"--config-file=/usr/share/dbus-1/session.conf", "--nofork", "--nopidfile",
                                "--address=" + address, "--print-address=1"});
    if (!m_bus.waitForReadyRead(10000))
        return;
    m_address = m_bus.readLine().trimmed();
    m_logind.start(TRESORIO_FAKE_LOGIND, {m_address});
    if (next() != "ready")
        m_address.clear();
}

FakeLogind::~FakeLogind()
{
    for (QProcess* process : {&m_logind, &m_bus}) {
        process->kill();
        process->waitForFinished();
    }
}

QProcessEnvironment FakeLogind::asSystemBus() const
{
    QProcessEnvironment env;
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", m_address);
    return env;
}

std::string FakeLogind::next()
{
    if (!m_logind.canReadLine() && !m_logind.waitForReadyRead(30000))
        return "";
    return m_logind.readLine().trimmed().toStdString();
}

void FakeLogind::send(const char* signal)
{
    m_logind.write(QByteArray(signal) + "\n");
    m_logind.waitForBytesWritten(10000);
}

VirtualDisplay::VirtualDisplay()
{
    // Xvfb picks a free display number and tells it on the descriptor given.
    m_server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    if (!m_server.waitForReadyRead(10000))
        return;
    const QByteArray number = m_server.readLine().trimmed();
    if (!number.isEmpty())
        m_name = ":" + QString::fromLatin1(number);
}

VirtualDisplay::~VirtualDisplay()
{
    end();
}

QProcessEnvironment VirtualDisplay::environment() const
{
    QProcessEnvironment env;
    env.insert("DISPLAY", m_name);
    env.insert("LSAN_OPTIONS", "suppressions=" TRESORIO_LSAN_WINDOWS);
    return env;
}

std::vector<std::string> VirtualDisplay::windows(const std::string& title) const
{
    QProcess search;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_name);
    search.setProcessEnvironment(env);
    search.start("xdotool", {"search", "--onlyvisible", "--name", QString::fromStdString(title)});
    search.waitForFinished(10000);
    std::vector<std::string> ids;
    for (const QByteArray& line : search.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty())
            ids.push_back(line.trimmed().toStdString());
    return ids;
}

void VirtualDisplay::type(const std::string& window, const std::string& keys) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_name);
    for (const QStringList& arguments : {QStringList{"windowfocus", QString::fromStdString(window)},
                                         QStringList{"key", "--clearmodifiers", QString::fromStdString(keys)}}) {
        QProcess xdotool;
        xdotool.setProcessEnvironment(env);
        xdotool.start("xdotool", arguments);
        xdotool.waitForFinished(10000);
    }
}

void VirtualDisplay::end()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(5000)) {
        m_server.kill();
        m_server.waitForFinished();
    }
}
