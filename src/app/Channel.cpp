#include "app/Channel.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <memory>

namespace {

constexpr int SendTimeoutMs = 5000;
constexpr int MaxOpenConnections = 16;
constexpr int IdleTimeoutMs = 3000;
constexpr int WatchIntervalMs = 1000;

} // namespace

std::optional<std::string> Channel::SocketPath(Platform& platform, const std::filesystem::path& dataFolder)
{
    const auto folder = platform.PrivateRuntimeFolder();
    if (!folder)
        return std::nullopt;
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(dataFolder.string()), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return (std::filesystem::path(*folder) / ("TresorMS-" + hash.toStdString())).string();
}

bool Channel::Send(Platform& platform, const std::filesystem::path& dataFolder, const std::string& command)
{
    // Where the copy that runs said it listens comes first: its runtime folder may differ from
    // this start's. Then where it would listen by this start's own environment.
    std::vector<std::string> paths;
    const std::string published = platform.PublishedByLockHolder((dataFolder / LockFileName).string());
    if (!published.empty() && published.front() == '/')
        paths.push_back(published);
    if (const auto own = SocketPath(platform, dataFolder); own && (paths.empty() || *own != paths.front()))
        paths.push_back(*own);
    const std::string message = FormatChannelMessage(platform.UserName(), platform.ComputerName(), command);
    for (const std::string& path : paths)
        if (sendTo(path, message))
            return true;
    return false;
}

bool Channel::sendTo(const std::string& path, const std::string& message)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(SendTimeoutMs))
        return false;
    socket.write(QByteArray::fromStdString(message));
    const bool written = socket.waitForBytesWritten(SendTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(SendTimeoutMs);
    return written;
}

Channel::Channel(Platform& platform, const std::filesystem::path& dataFolder,
                 std::function<void(const ChannelMessage&)> received)
    : m_received(std::move(received))
{
    const auto path = SocketPath(platform, dataFolder);
    if (!path)
        return;
    m_name = QString::fromStdString(*path);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] { accept(); });
    listen();
    // Qt closes the server when a connection cannot be taken (no descriptor left): listening is
    // taken up again as soon as it can be, so the socket never stays away.
    m_watch.setInterval(WatchIntervalMs);
    QObject::connect(&m_watch, &QTimer::timeout, &m_server, [this] {
        if (!m_server.isListening())
            listen();
    });
    m_watch.start();
}

void Channel::listen()
{
    QLocalServer::removeServer(m_name);
    m_server.listen(m_name);
}

void Channel::StopListening()
{
    m_watch.stop();
    m_server.close();
}

bool Channel::Drain(int timeoutMs)
{
    // Messages under way are read to their end, and handed on, before the caller goes on.
    QElapsedTimer waited;
    waited.start();
    while (m_open > 0 && waited.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return m_open == 0;
}

void Channel::accept()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        // Too many at once, or one that says nothing: closed, so the connections can never use up
        // what the program needs to go on listening.
        if (m_open >= MaxOpenConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_open;
        QObject::connect(socket, &QObject::destroyed, &m_server, [this] { --m_open; });
        auto buffer = std::make_shared<QByteArray>();
        auto refused = std::make_shared<bool>(false);
        QTimer::singleShot(IdleTimeoutMs, socket, [socket, refused] {
            *refused = true; // nothing is read from it any more
            socket->abort();
            socket->deleteLater();
        });
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer, refused] {
            const QByteArray read = socket->readAll();
            // A message larger than any command is refused: what follows is read and dropped
            // (never kept), until the sender is done or the time for a message is up.
            if (*refused)
                return;
            buffer->append(read);
            if (static_cast<std::size_t>(buffer->size()) > MaxChannelMessageBytes) {
                *refused = true;
                buffer->clear();
            }
        });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, socket, buffer, refused] {
            if (*refused) {
                socket->deleteLater();
                return;
            }
            buffer->append(socket->readAll());
            // Handled after this signal has returned: a command may end the program, and with
            // it this socket.
            if (const auto message = ParseChannelMessage(buffer->toStdString()))
                QMetaObject::invokeMethod(
                    &m_server, [this, m = *message] { m_received(m); }, Qt::QueuedConnection);
            buffer->clear();
            socket->deleteLater();
        });
    }
}
