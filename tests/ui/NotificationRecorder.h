#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <vector>

/// A notification service on the tests' own session bus: it owns org.freedesktop.Notifications,
/// keeps what arrives and invokes actions as a user's click would.
class NotificationRecorder final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Received
    {
        uint id = 0;
        QString appName;
        QString summary;
        QString body;
        QStringList actions;
        int urgency = -1;
        int expireTimeout = 0;
    };

    /// Connects to the session bus at address (a connection of its own) and takes the name;
    /// whether it got it.
    bool Register(const QString& address);
    ~NotificationRecorder() override;

    std::vector<Received> received;

    /// Sends ActionInvoked for the notification with id, as a click on the action does.
    void Invoke(uint id, const QString& actionKey);

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout);
    QStringList GetCapabilities();
    void CloseNotification(uint id);
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion);

private:
    QDBusConnection m_bus{QString()};
    QString m_name;
    uint m_next = 1;
};
