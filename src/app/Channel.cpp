#include "app/Channel.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int SendTimeoutMs = 5000;

} // namespace

std::optional<std::string> Channel::SocketPath(const std::filesystem::path& dataFolder)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::filesystem::path folder = runtime && *runtime
                                             ? std::filesystem::path(runtime) / "tresorio"
                                             : std::filesystem::path("/tmp/tresorio-" + std::to_string(::getuid()));
    ::mkdir(folder.c_str(), 0700);
    // In a shared folder such as /tmp the folder must be ours and closed to everybody else.
    struct stat st
    {
    };
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 077) != 0)
        return std::nullopt;
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(dataFolder.string()), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return (folder / ("TresorMS-" + hash.toStdString())).string();
}

bool Channel::Send(const std::filesystem::path& dataFolder, const std::string& user, const std::string& computer,
                   const std::string& command)
{
    const auto path = SocketPath(dataFolder);
    if (!path)
        return false;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(*path));
    if (!socket.waitForConnected(SendTimeoutMs))
        return false;
    socket.write(QByteArray::fromStdString(FormatChannelMessage(user, computer, command)));
    const bool written = socket.waitForBytesWritten(SendTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(SendTimeoutMs);
    return written;
}

Channel::Channel(const std::filesystem::path& dataFolder, std::function<void(const ChannelMessage&)> received)
    : m_received(std::move(received))
{
    const auto path = SocketPath(dataFolder);
    if (!path)
        return;
    const QString name = QString::fromStdString(*path);
    QLocalServer::removeServer(name);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server.listen(name))
        QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] { accept(); });
}

void Channel::accept()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        auto* buffer = new QByteArray;
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] {
            buffer->append(socket->readAll());
            // A message larger than any command is refused without reading it whole.
            if (static_cast<std::size_t>(buffer->size()) > MaxChannelMessageBytes) {
                buffer->clear();
                socket->abort();
            }
        });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            // Handled after this signal has returned: a command may end the program, and with
            // it this socket.
            if (const auto message = ParseChannelMessage(buffer->toStdString()))
                QMetaObject::invokeMethod(
                    &m_server, [this, m = *message] { m_received(m); }, Qt::QueuedConnection);
            delete buffer;
            socket->deleteLater();
        });
    }
}
