#include "app/DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString ActionKey = QStringLiteral("default");

constexpr unsigned char NormalUrgency = 1;
constexpr unsigned char CriticalUrgency = 2;

} // namespace

DesktopNotifications::DesktopNotifications(QDBusConnection bus) : m_bus(std::move(bus))
{
    m_bus.connect(QString(), Path, Interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(actionInvoked(uint, QString)));
    m_bus.connect(QString(), Path, Interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(notificationClosed(uint, uint)));
    // Whether "<" in a file name would be read as markup: asked once, without waiting.
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("GetCapabilities"))),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusPendingReply<QStringList> reply = *done;
        if (!reply.isError())
            m_markup = reply.value().contains(QStringLiteral("body-markup"));
    });
}

void DesktopNotifications::Send(const Notification& notification, std::function<void()> onAction,
                                std::function<void()> onUnavailable)
{
    if (!m_bus.isConnected()) {
        if (onUnavailable)
            onUnavailable();
        return;
    }
    // "default" is the action a click on the notification itself chooses: services that show
    // no buttons still offer the way to the log.
    QStringList actions;
    if (!notification.actionLabel.isEmpty())
        actions << ActionKey << notification.actionLabel;
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(static_cast<uchar>(notification.critical ? CriticalUrgency : NormalUrgency)));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tresorio"));
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    // A failure stays until the user closes it (-1 lets the service decide, which may hide it
    // after a few seconds); the others go by themselves.
    const int expireTimeout = notification.critical ? 0 : -1;
    call << QStringLiteral("Tresorio") << uint(0) << notification.iconName << notification.summary
         << (m_markup ? notification.body.toHtmlEscaped() : notification.body) << actions << hints << expireTimeout;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, onAction = std::move(onAction),
             onUnavailable = std::move(onUnavailable)](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                const QDBusPendingReply<uint> reply = *done;
                if (reply.isError()) {
                    if (onUnavailable)
                        onUnavailable();
                    return;
                }
                if (onAction)
                    m_actions[reply.value()] = onAction;
            });
}

void DesktopNotifications::actionInvoked(uint id, const QString& actionKey)
{
    const auto found = m_actions.find(id);
    if (found == m_actions.end() || actionKey != ActionKey)
        return;
    const std::function<void()> action = found->second;
    action();
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    m_actions.erase(id);
}
