// A stand-in for systemd-logind on a private bus, for the program's session inhibitor.
// Usage: fake_logind BUS_ADDRESS. Tells on standard output, one line each:
//   "ready"                          the name org.freedesktop.login1 is taken
//   "inhibit WHAT|WHO|WHY|MODE"      an inhibitor was handed out
//   "released"                       every copy of the last one handed out is closed
// and takes from standard input: "shutdown", "sleep", "wake" (the signals logind sends).

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QSocketNotifier>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

void tell(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

class FakeManager final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode)
    {
        int ends[2];
        if (::pipe(ends) != 0)
            return {};
        // The read end shows when every copy of the write end, the one handed out, is closed.
        m_released = std::make_unique<QSocketNotifier>(ends[0], QSocketNotifier::Read);
        connect(m_released.get(), &QSocketNotifier::activated, this, [this, fd = ends[0]] {
            char byte = 0;
            if (::read(fd, &byte, 1) <= 0) {
                m_released.reset();
                ::close(fd);
                tell("released");
            }
        });
        tell("inhibit " + what + "|" + who + "|" + why + "|" + mode);
        const QDBusUnixFileDescriptor handedOut(ends[1]); // a copy
        ::close(ends[1]);
        return handedOut;
    }

private:
    std::unique_ptr<QSocketNotifier> m_released;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromUtf8(argv[1]), "logind");
    FakeManager manager;
    if (!bus.isConnected() ||
        !bus.registerObject("/org/freedesktop/login1", &manager, QDBusConnection::ExportAllSlots) ||
        !bus.registerService("org.freedesktop.login1"))
        return 1;
    const auto send = [&bus](const char* name, bool start) {
        QDBusMessage signal =
            QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", name);
        signal << start;
        bus.send(signal);
    };
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[64] = {};
        if (!std::fgets(line, sizeof line, stdin)) {
            QCoreApplication::quit();
            return;
        }
        const QByteArray command = QByteArray(line).trimmed();
        if (command == "shutdown")
            send("PrepareForShutdown", true);
        else if (command == "sleep")
            send("PrepareForSleep", true);
        else if (command == "wake")
            send("PrepareForSleep", false);
    });
    tell("ready");
    return QCoreApplication::exec();
}

#include "fake_logind.moc"
