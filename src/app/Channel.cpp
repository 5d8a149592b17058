#include "app/Channel.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QPointer>
#include <memory>

namespace {

constexpr int SendTimeoutMs = 5000;
constexpr int MaxOpenConnections = 16;
constexpr int IdleTimeoutMs = 3000;
constexpr int WatchIntervalMs = 1000;
constexpr int AnswerTimeoutMs = 15000;

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

ChannelAnswer Channel::Send(Platform& platform, const std::filesystem::path& dataFolder, const std::string& command)
{
    // Where the copy that runs said it listens comes first: its runtime folder may differ from
    // this start's. Then where it would listen by this start's own environment.
    std::vector<std::string> paths;
    const std::string published = platform.PublishedByLockHolder((dataFolder / LockFileName).string());
    if (!published.empty() && published.front() == '/')
        paths.push_back(published);
    if (const auto own = SocketPath(platform, dataFolder); own && (paths.empty() || *own != paths.front()))
        paths.push_back(*own);
    const std::string message =
        FormatChannelRequest(platform.UserName(), platform.ComputerName(), command, dataFolder.string());
    for (const std::string& path : paths) {
        const std::optional<ChannelAnswer> answer = sendTo(path, message);
        // The lock file came with a copied data folder: its holder runs on the original.
        if (answer && *answer != ChannelAnswer::OtherFolder)
            return *answer;
    }
    return ChannelAnswer::NoCopy;
}

std::optional<ChannelAnswer> Channel::sendTo(const std::string& path, const std::string& message)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(SendTimeoutMs))
        return std::nullopt;
    socket.write(QByteArray::fromStdString(message));
    if (!socket.waitForBytesWritten(SendTimeoutMs))
        return ChannelAnswer::NoAnswer;
    QByteArray answer;
    QElapsedTimer waited;
    waited.start();
    while (!answer.contains("\r\n") && waited.elapsed() < AnswerTimeoutMs &&
           socket.state() == QLocalSocket::ConnectedState) {
        socket.waitForReadyRead(static_cast<int>(AnswerTimeoutMs - waited.elapsed()));
        answer += socket.readAll();
    }
    answer += socket.readAll();
    socket.abort();
    if (!answer.contains("\r\n"))
        return ChannelAnswer::NoAnswer;
    return AnswerOfLine(answer.left(answer.indexOf("\r\n")).toStdString());
}

Channel::Channel(Platform& platform, const std::filesystem::path& dataFolder,
                 std::function<void(const ChannelMessage&, const Reply&)> received)
    : m_dataFolder(dataFolder), m_received(std::move(received))
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
        struct Reading
        {
            QByteArray buffer;
            bool refused = false;   // nothing is read from it any more
            bool delivered = false; // handed on; it waits for its answer
        };
        auto reading = std::make_shared<Reading>();
        QTimer::singleShot(IdleTimeoutMs, socket, [socket, reading] {
            if (reading->delivered)
                return;
            reading->refused = true;
            socket->abort();
            socket->deleteLater();
        });
        // An answer the program never gives does not keep the connection for ever.
        QTimer::singleShot(AnswerTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, reading] {
            const QByteArray read = socket->readAll();
            // A message larger than any command is refused: what follows is read and dropped
            // (never kept), until the sender is done or the time for a message is up.
            if (reading->refused || reading->delivered)
                return;
            reading->buffer.append(read);
            if (static_cast<std::size_t>(reading->buffer.size()) > MaxChannelMessageBytes) {
                reading->refused = true;
                reading->buffer.clear();
            } else if (IsCompleteRequest(reading->buffer.toStdString())) {
                reading->delivered = true;
                deliver(socket, reading->buffer);
            }
        });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, socket, reading] {
            // A sender that wants no answer says that its message is whole by closing.
            if (!reading->refused && !reading->delivered) {
                reading->buffer.append(socket->readAll());
                reading->delivered = true;
                deliver(nullptr, reading->buffer);
            }
            socket->deleteLater();
        });
    }
}

void Channel::deliver(QLocalSocket* socket, const QByteArray& bytes)
{
    const auto message = ParseChannelMessage(bytes.toStdString());
    QPointer<QLocalSocket> answering = message && message->wantsAnswer ? socket : nullptr;
    const Reply reply = [answering](ChannelAnswer answer) {
        if (!answering)
            return;
        // Written out now: what the answer leads to (the end of the program) may close the
        // connection before the event loop would.
        answering->write(QByteArray::fromStdString(AnswerLine(answer) + "\r\n"));
        answering->flush();
        answering->disconnectFromServer();
    };
    if (!message) {
        if (socket)
            socket->abort();
        return;
    }
    if (message->folder) {
        std::error_code error;
        if (*message->folder != m_dataFolder.string() &&
            !std::filesystem::equivalent(*message->folder, m_dataFolder, error)) {
            reply(ChannelAnswer::OtherFolder);
            return;
        }
    }
    // Handled after the signal that brought it has returned: a command may end the program, and
    // with it this socket.
    QMetaObject::invokeMethod(
        &m_server, [this, m = *message, reply] { m_received(m, reply); }, Qt::QueuedConnection);
}
