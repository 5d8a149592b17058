#pragma once

#include "app/ChannelMessage.h"
#include "platform/Platform.h"

#include <QLocalServer>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

/// The file in the data folder whose lock makes one running copy per folder.
inline constexpr const char* LockFileName = "tresorio.lock";

/// The local socket through which other copies and programs send commands to the copy that
/// runs on a data folder. The socket lives in a folder of the user's own (mode 0700) and is named
/// after the data folder; one message per connection. A copy of this program asks for an answer
/// and names the data folder it means: a copy on another folder (found through a lock file that
/// was copied along with its folder) answers so and does nothing. At most a few connections are
/// read at a time and none for long, and listening is taken up again when the system made it stop.
class Channel final
{
public:
    /// Gives the sender its answer (nothing happens when it asked for none or is gone).
    using Reply = std::function<void(ChannelAnswer)>;

    /// The socket's path for a data folder; nothing when no safe folder for it can be had.
    static std::optional<std::string> SocketPath(Platform& platform, const std::filesystem::path& dataFolder);
    /// Sends one command, as this user on this computer, to the copy on the data folder, and
    /// waits for its answer.
    static ChannelAnswer Send(Platform& platform, const std::filesystem::path& dataFolder, const std::string& command);

    /// Listens for messages; the caller holds the data folder's lock, so a socket left by a
    /// crashed copy may be replaced. Every well-formed message for this data folder goes to
    /// received, on the event loop, with the way to answer it.
    Channel(Platform& platform, const std::filesystem::path& dataFolder,
            std::function<void(const ChannelMessage&, const Reply&)> received);
    Q_DISABLE_COPY_MOVE(Channel)

    bool listening() const { return m_server.isListening(); }
    /// Where it listens: the path a second start finds it by.
    std::string ServerPath() const { return m_name.toStdString(); }
    /// Takes no more connections; those under way still deliver their message.
    void StopListening();
    /// Waits up to timeoutMs for the connections under way to end and hands their messages on;
    /// false when some were still open.
    bool Drain(int timeoutMs);

private:
    /// The answer of the copy at path; nothing when none listens there.
    static std::optional<ChannelAnswer> sendTo(const std::string& path, const std::string& message);
    void accept();
    void listen();
    /// Hands a whole message on, or answers it at once when it is meant for another folder.
    void deliver(QLocalSocket* socket, const QByteArray& bytes);

    QLocalServer m_server;
    QString m_name;
    QTimer m_watch;
    int m_open = 0; // connections being read or waiting for their answer
    std::filesystem::path m_dataFolder;
    std::function<void(const ChannelMessage&, const Reply&)> m_received;
};
