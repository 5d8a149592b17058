#include "app/SessionInhibitor.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString Service = QStringLiteral("org.freedesktop.login1");
const QString ManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString Manager = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

SessionInhibitor::SessionInhibitor(QDBusConnection bus) : m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(Service, ManagerPath, Manager, QStringLiteral("PrepareForShutdown"), this,
                  SLOT(prepareForShutdown(bool)));
    m_bus.connect(Service, ManagerPath, Manager, QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
}

void SessionInhibitor::Hold(bool wanted)
{
    m_wanted = wanted;
    if (!wanted)
        m_held = QDBusUnixFileDescriptor();
    else if (!held() && !m_asking && !m_sleeping)
        take();
}

void SessionInhibitor::take()
{
    // Once logind was found missing it is not asked again at every tick.
    if (m_toldUnavailable)
        return;
    if (!m_bus.isConnected()) {
        const QString reason = m_bus.lastError().message();
        unavailable(reason.isEmpty() ? "kein Systembus" : reason.toStdString());
        return;
    }
    if (!(m_bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing)) {
        unavailable("der Systembus reicht keine Dateideskriptoren weiter");
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(Service, ManagerPath, Manager, QStringLiteral("Inhibit"));
    call << QStringLiteral("shutdown:sleep") << QStringLiteral("Tresorio")
         << QStringLiteral("Profile, die beim Beenden sichern") << QStringLiteral("delay");
    m_asking = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        m_asking = false;
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *done;
        if (reply.isError()) {
            unavailable(reply.error().message().toStdString());
            return;
        }
        // Wanted no more while the answer was on its way (or the system went to sleep): the
        // descriptor is closed here and nothing is held.
        if (m_wanted && !m_sleeping)
            m_held = reply.value();
    });
}

void SessionInhibitor::unavailable(const std::string& reason)
{
    if (m_toldUnavailable)
        return;
    m_toldUnavailable = true;
    if (onUnavailable)
        onUnavailable(reason);
}

void SessionInhibitor::prepareForShutdown(bool start)
{
    if (start && onSessionEnd)
        onSessionEnd();
}

void SessionInhibitor::prepareForSleep(bool start)
{
    if (start) {
        if (onSleep)
            onSleep();
        // Sleep waits no longer than our work before it.
        m_sleeping = true;
        m_held = QDBusUnixFileDescriptor();
        return;
    }
    m_sleeping = false;
    Hold(m_wanted);
}
