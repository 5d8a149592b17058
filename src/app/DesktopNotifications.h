#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>
#include <map>

/// Notifications on the desktop through the freedesktop notification service
/// (org.freedesktop.Notifications on the session bus). The call is sent without waiting: a
/// service that stalls holds nothing. Where no service answers, onUnavailable of that
/// notification is called instead, so that the caller can show it another way.
class DesktopNotifications final : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus());
    Q_DISABLE_COPY_MOVE(DesktopNotifications)

    struct Notification
    {
        QString summary;
        QString body; // plain text; escaped for a service that reads markup
        bool critical = false;
        QString actionLabel; // the one action offered; empty for none
        QString iconName = QStringLiteral("tresorio");
    };

    /// Shows the notification; onAction is called when the user chooses its action (or clicks
    /// it, where the service offers only that).
    void Send(const Notification& notification, std::function<void()> onAction, std::function<void()> onUnavailable);

private slots:
    void actionInvoked(uint id, const QString& actionKey);
    void notificationClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    bool m_markup = true;                            // whether the service reads the body as markup, as most do
    std::map<uint, std::function<void()>> m_actions; // of the notifications still shown
};
